#include <immintrin.h>

#include "scan_floor.h"

namespace vorlith::bench {

std::uint64_t ReadFloorAvx2(const std::uint8_t* top, std::ptrdiff_t pitch, std::int64_t rows,
                            std::int64_t width) {
  const std::int64_t full = width & ~std::int64_t{31};
  const __m256i tail_lanes =
      _mm256_cmpgt_epi64(_mm256_set1_epi64x((width - full) / 8), _mm256_setr_epi64x(0, 1, 2, 3));
  __m256i folded = _mm256_setzero_si256();
  for (std::int64_t r = 0; r < rows; ++r) {
    const std::uint8_t* row = top + r * pitch;
    for (std::int64_t x = 0; x < full; x += 32) {
      folded =
          _mm256_or_si256(folded, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + x)));
    }
    if (full < width) {
      folded = _mm256_or_si256(
          folded,
          _mm256_maskload_epi64(reinterpret_cast<const long long*>(row + full), tail_lanes));
    }
  }
  alignas(32) std::uint64_t lanes[4];
  _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), folded);
  return lanes[0] | lanes[1] | lanes[2] | lanes[3];
}

}  // namespace vorlith::bench
