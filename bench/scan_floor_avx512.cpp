#include <immintrin.h>

#include "scan_floor.h"

namespace vorlith::bench {

std::uint64_t ReadFloorAvx512(const std::uint8_t* top, std::ptrdiff_t pitch, std::int64_t rows,
                              std::int64_t width) {
  const std::int64_t full = width & ~std::int64_t{63};
  const auto tail_lanes = static_cast<__mmask8>((1u << ((width - full) / 8)) - 1);
  __m512i folded = _mm512_setzero_si512();
  for (std::int64_t r = 0; r < rows; ++r) {
    const std::uint8_t* row = top + r * pitch;
    for (std::int64_t x = 0; x < full; x += 64) {
      folded = _mm512_or_si512(folded, _mm512_loadu_si512(row + x));
    }
    if (full < width) {
      folded = _mm512_or_si512(folded, _mm512_maskz_loadu_epi64(tail_lanes, row + full));
    }
  }
  alignas(64) std::uint64_t lanes[8];
  _mm512_store_si512(lanes, folded);
  std::uint64_t all = 0;
  for (const std::uint64_t lane : lanes) all |= lane;
  return all;
}

}  // namespace vorlith::bench
