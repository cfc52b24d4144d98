// The AVX2 form: one 32-byte vector holds four blocks of a band, and each
// call judges two vectors, eight blocks, so that the two chains of sums
// overlap and the loop's own work is spread over twice the blocks. The
// last one to seven blocks are read with masked loads, which never touch
// the lanes left out.
#include <immintrin.h>

#include "scan_band_loop.h"

namespace vorlith {
namespace {

// Row r of eight blocks: blocks 0-3 and 4-7.
struct RowPair {
  __m256i low;
  __m256i high;
};

struct Avx2Blocks {
  static constexpr int kBlocks = 8;

  // The mask of the lanes of combed blocks, one bit per lane.
  static int CombedLanes(__m256i holding) {
    const __m256i combed = _mm256_cmpgt_epi64(holding, _mm256_set1_epi64x(2));
    return _mm256_movemask_pd(_mm256_castsi256_pd(combed));
  }

  // One row test on four blocks: adds 1 to each lane whose test holds.
  static __m256i Test(__m256i holding, __m256i a, __m256i b, __m256i c) {
    const __m256i margin = _mm256_set1_epi64x(20);
    const __m256i near = _mm256_sad_epu8(a, b);
    const __m256i far = _mm256_sad_epu8(a, c);
    return _mm256_sub_epi64(holding, _mm256_cmpgt_epi64(near, _mm256_add_epi64(far, margin)));
  }

  // `load(r)` gives row r of the blocks, zero in any lane past the last one.
  template <class RowLoader>
  static std::uint32_t JudgeRows(RowLoader load) {
    __m256i low = _mm256_setzero_si256();
    __m256i high = _mm256_setzero_si256();
    RowPair a = load(0);
    RowPair b = load(1);
    for (int r = 0; r < 8; ++r) {
      const RowPair c = load(r + 2);
      low = Test(low, a.low, b.low, c.low);
      high = Test(high, a.high, b.high, c.high);
      a = b;
      b = c;
    }
    return static_cast<std::uint32_t>(CombedLanes(low) | CombedLanes(high) << 4);
  }

  static __m256i Lanes(int blocks) {
    return _mm256_cmpgt_epi64(_mm256_set1_epi64x(blocks), _mm256_setr_epi64x(0, 1, 2, 3));
  }

  static std::uint32_t Judge(const std::uint8_t* top, std::ptrdiff_t pitch, int blocks) {
    if (blocks == kBlocks) {
      return JudgeRows([=](int r) {
        const auto* row = reinterpret_cast<const __m256i*>(top + r * pitch);
        return RowPair{_mm256_loadu_si256(row), _mm256_loadu_si256(row + 1)};
      });
    }
    const __m256i low_lanes = Lanes(blocks);
    const __m256i high_lanes = Lanes(blocks - 4);
    return JudgeRows([=](int r) {
      const auto* row = reinterpret_cast<const long long*>(top + r * pitch);
      return RowPair{_mm256_maskload_epi64(row, low_lanes),
                     _mm256_maskload_epi64(row + 4, high_lanes)};
    });
  }
};

}  // namespace

std::int32_t ScanCombedBlocksAvx2(const LumaPlane& plane, bool show) {
  return ScanBandsWith<Avx2Blocks>(plane, show);
}

}  // namespace vorlith
