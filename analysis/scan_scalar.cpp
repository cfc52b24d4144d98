// The reference form of the scan, written as directly as the rule reads.
#include <cstddef>
#include <cstdint>

#include "scan_paths.h"

namespace vorlith {
namespace {

constexpr int kBlockSize = 8;
constexpr int kTestMargin = 20;
constexpr int kHoldingTestsForCombed = 3;
// A band's top row must lie below height - 10: each block reads two rows of
// the band below it, and the last row of the plane is never read.
constexpr int kRowsBelowLastBand = 10;

int SumOfAbsoluteDifferences(const std::uint8_t* a, const std::uint8_t* b) {
  int sum = 0;
  for (int i = 0; i < kBlockSize; ++i) sum += a[i] > b[i] ? a[i] - b[i] : b[i] - a[i];
  return sum;
}

bool IsCombed(const std::uint8_t* block, std::ptrdiff_t pitch) {
  int holding = 0;
  for (int r = 0; r < kBlockSize; ++r) {
    const std::uint8_t* row = block + r * pitch;
    const int near = SumOfAbsoluteDifferences(row, row + pitch);
    const int far = SumOfAbsoluteDifferences(row, row + 2 * pitch);
    if (near > far + kTestMargin) ++holding;
  }
  return holding >= kHoldingTestsForCombed;
}

void Paint(std::uint8_t* block, std::ptrdiff_t pitch) {
  for (int r = 0; r < kBlockSize; ++r) {
    for (int i = 0; i < kBlockSize; ++i) block[r * pitch + i] = 255;
  }
}

}  // namespace

std::int32_t ScanCombedBlocksScalar(const LumaPlane& plane, bool show) {
  const std::ptrdiff_t pitch = plane.pitch;
  // 64-bit bounds: the limits stay exact for any 32-bit height and row size.
  const std::int64_t band_limit = std::int64_t{plane.height} - kRowsBelowLastBand;
  std::int32_t count = 0;
  for (std::int64_t y = 0; y < band_limit; y += kBlockSize) {
    for (std::int64_t x = 0; x < plane.row_size; x += kBlockSize) {
      const std::ptrdiff_t offset = y * pitch + x;
      if (!IsCombed(plane.read_ptr + offset, pitch)) continue;
      ++count;
      if (show) Paint(plane.write_ptr + offset, pitch);
    }
  }
  return count;
}

}  // namespace vorlith
