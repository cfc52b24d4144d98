// The reference form of the scan, written as directly as the rule reads.
#include <cstddef>
#include <cstdint>

#include "scan_paths.h"

namespace vorlith {
namespace {

constexpr int kBlockSize = ScanGrid::kBlockSize;
constexpr int kTestMargin = 20;
constexpr int kHoldingTestsForCombed = 3;

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
  const ScanGrid grid = ScanGridOf(plane.row_size, plane.height);
  std::int32_t count = 0;
  for (std::int64_t band = 0; band < grid.bands; ++band) {
    for (std::int64_t block = 0; block < grid.blocks_across; ++block) {
      const std::ptrdiff_t offset = band * kBlockSize * pitch + block * kBlockSize;
      if (!IsCombed(plane.read_ptr + offset, pitch)) continue;
      ++count;
      if (show) Paint(plane.write_ptr + offset, pitch);
    }
  }
  return count;
}

}  // namespace vorlith
