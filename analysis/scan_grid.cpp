#include "analysis.h"

namespace vorlith {
namespace {

constexpr int kBlockSize = ScanGrid::kBlockSize;
// A band's top row must lie below height - 10: each block reads two rows of
// the band below it, and the last row of the plane is never read.
constexpr int kRowsBelowLastBand = 10;

}  // namespace

ScanGrid ScanGridOf(std::int32_t row_size, std::int32_t height) {
  ScanGrid grid;
  if (row_size <= 0 || height <= kRowsBelowLastBand) return grid;
  grid.blocks_across = (std::int64_t{row_size} + kBlockSize - 1) / kBlockSize;
  grid.scanned_width = grid.blocks_across * kBlockSize;
  grid.bands = (std::int64_t{height} - kRowsBelowLastBand + kBlockSize - 1) / kBlockSize;
  grid.blocks = grid.blocks_across * grid.bands;
  return grid;
}

}  // namespace vorlith
