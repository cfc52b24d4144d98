// The interchangeable forms of the combed block scan and the one place that
// chooses among them. Every form gives the same count and the same bytes as
// the scalar reference; they differ only in the instructions they use.
#pragma once

#include <cstdint>

#include "analysis.h"

namespace vorlith {

using ScanFunction = std::int32_t (*)(const LumaPlane& plane, bool show);

// The reference: a plain loop that defines the result.
std::int32_t ScanCombedBlocksScalar(const LumaPlane& plane, bool show);

#if defined(VORLITH_X86_SCAN_PATHS)
// Integer SSE on 64-bit MMX registers, one block at a time.
std::int32_t ScanCombedBlocksIsse(const LumaPlane& plane, bool show);
// One vector serves 2 (SSE2), 4 (AVX2) or 8 (AVX-512BW) blocks of a band.
std::int32_t ScanCombedBlocksSse2(const LumaPlane& plane, bool show);
std::int32_t ScanCombedBlocksAvx2(const LumaPlane& plane, bool show);
std::int32_t ScanCombedBlocksAvx512(const LumaPlane& plane, bool show);
#endif

struct ScanPath {
  const char* name;
  ScanFunction scan;
};

// The forms that this processor and OS can run, narrowest first, so the last
// one is the widest. Built afresh on each call: the library keeps no state.
struct ScanPathList {
  static constexpr int kCapacity = 5;
  ScanPath paths[kCapacity];
  int count = 0;

  void Add(const char* name, ScanFunction scan) { paths[count++] = {name, scan}; }
  const ScanPath& Widest() const { return paths[count - 1]; }
};

ScanPathList SupportedScanPaths();

// Paints the 8x8 blocks whose bits are set in `combed` (bit i is the block at
// columns 8i to 8i+7 from `top`) with 255. Shared by the vector forms and
// compiled for the baseline processor.
void PaintCombedBlocks(std::uint8_t* top, std::ptrdiff_t pitch, std::uint32_t combed);

}  // namespace vorlith
