// The band and block loops shared by the vector forms of the scan.
//
// Each vector form supplies a kernel type that judges up to Kernel::kBlocks
// adjacent blocks of one band at once. The kernel type lives in an anonymous
// namespace of the form's own source file, so every instantiation of this
// template is private to a file compiled with that form's target flags and
// can never be merged with a copy built for another instruction set. For the
// same reason nothing here calls an out-of-line standard library template.
//
//   static constexpr int kBlocks;
//   // Bit i set when block i (columns 8i..8i+7 from `top`) is combed.
//   // `blocks` is 1..kBlocks; no byte past block `blocks - 1` is touched.
//   static std::uint32_t Judge(const std::uint8_t* top, std::ptrdiff_t pitch, int blocks);
#pragma once

#include <cstddef>
#include <cstdint>

#include "scan_paths.h"

namespace vorlith {

template <class Kernel>
std::int32_t ScanBandsWith(const LumaPlane& plane, bool show) {
  // Plain locals: the painting call cannot change them, so they stay in
  // registers through the loops.
  const std::uint8_t* const read = plane.read_ptr;
  std::uint8_t* const write = plane.write_ptr;
  const std::ptrdiff_t pitch = plane.pitch;
  const ScanGrid grid = ScanGridOf(plane.row_size, plane.height);
  const std::int64_t blocks_per_band = grid.blocks_across;
  constexpr int kBlockSize = ScanGrid::kBlockSize;
  std::int32_t count = 0;
  for (std::int64_t b = 0; b < grid.bands; ++b) {
    const std::ptrdiff_t band = b * kBlockSize * pitch;
    for (std::int64_t first = 0; first < blocks_per_band; first += Kernel::kBlocks) {
      const std::int64_t left = blocks_per_band - first;
      const int blocks = left < Kernel::kBlocks ? static_cast<int>(left) : Kernel::kBlocks;
      const std::uint32_t combed = Kernel::Judge(read + band + kBlockSize * first, pitch, blocks);
      if (combed == 0) continue;
      count += __builtin_popcount(combed);
      if (show) PaintCombedBlocks(write + band + kBlockSize * first, pitch, combed);
    }
  }
  return count;
}

}  // namespace vorlith
