#include <cstring>

#include "scan_paths.h"

namespace vorlith {

void PaintCombedBlocks(std::uint8_t* top, std::ptrdiff_t pitch, std::uint32_t combed) {
  for (int block = 0; combed != 0; ++block, combed >>= 1) {
    if ((combed & 1) == 0) continue;
    for (int r = 0; r < 8; ++r) std::memset(top + r * pitch + 8 * block, 255, 8);
  }
}

}  // namespace vorlith
