// The AVX2 form: one 32-byte vector holds four blocks of a band. The last
// one to three blocks are read with masked loads, which never touch the
// lanes left out.
#include <immintrin.h>

#include "scan_band_loop.h"

namespace vorlith {
namespace {

struct Avx2Blocks {
  static constexpr int kBlocks = 4;

  // `load(r)` gives row r of the blocks, zero in any lane past the last one.
  template <class RowLoader>
  static std::uint32_t JudgeRows(RowLoader load) {
    const __m256i margin = _mm256_set1_epi64x(20);
    __m256i holding = _mm256_setzero_si256();
    __m256i a = load(0);
    __m256i b = load(1);
    for (int r = 0; r < 8; ++r) {
      const __m256i c = load(r + 2);
      const __m256i near = _mm256_sad_epu8(a, b);
      const __m256i far = _mm256_sad_epu8(a, c);
      holding = _mm256_sub_epi64(holding, _mm256_cmpgt_epi64(near, _mm256_add_epi64(far, margin)));
      a = b;
      b = c;
    }
    const __m256i combed = _mm256_cmpgt_epi64(holding, _mm256_set1_epi64x(2));
    return static_cast<std::uint32_t>(_mm256_movemask_pd(_mm256_castsi256_pd(combed)));
  }

  static std::uint32_t Judge(const std::uint8_t* top, std::ptrdiff_t pitch, int blocks) {
    if (blocks == kBlocks) {
      return JudgeRows([=](int r) {
        return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(top + r * pitch));
      });
    }
    const __m256i lanes =
        _mm256_cmpgt_epi64(_mm256_set1_epi64x(blocks), _mm256_setr_epi64x(0, 1, 2, 3));
    return JudgeRows([=](int r) {
      return _mm256_maskload_epi64(reinterpret_cast<const long long*>(top + r * pitch), lanes);
    });
  }
};

}  // namespace

std::int32_t ScanCombedBlocksAvx2(const LumaPlane& plane, bool show) {
  return ScanBandsWith<Avx2Blocks>(plane, show);
}

}  // namespace vorlith
