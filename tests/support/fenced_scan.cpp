#include "fenced_scan.h"

#if __has_include(<sanitizer/asan_interface.h>)
#include <sanitizer/asan_interface.h>
#endif
#ifndef ASAN_POISON_MEMORY_REGION
// Toolchains without the sanitizer (the Windows cross compiler) have nothing to mark.
#define ASAN_POISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#endif

#include <algorithm>

#include "scan_reach.h"

namespace vorlith::testing {

std::int32_t FencedScan(ScanFunction scan, GuardedPlane& plane, bool show) {
  const std::uint8_t* const all = plane.bytes().data();
  const std::size_t size = plane.bytes().size();
  ASAN_POISON_MEMORY_REGION(all, size);
  const std::int32_t rows = std::min(RowsRead(plane.height()), plane.rows());
  const auto width = static_cast<std::size_t>(ScannedWidth(plane.row_size()));
  for (std::int32_t r = 0; r < rows; ++r) ASAN_UNPOISON_MEMORY_REGION(&plane.At(r, 0), width);
  const std::int32_t count = scan(plane.View(), show);
  ASAN_UNPOISON_MEMORY_REGION(all, size);
  return count;
}

}  // namespace vorlith::testing
