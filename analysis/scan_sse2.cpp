// The SSE2 form: one 16-byte vector holds two blocks of a band; psadbw sums
// each 8-byte half on its own. A lone last block is read with 8-byte loads.
#include <emmintrin.h>

#include "scan_band_loop.h"

namespace vorlith {
namespace {

struct Sse2Blocks {
  static constexpr int kBlocks = 2;

  // `load(r)` gives row r of the blocks, zero in any lane past the last one.
  template <class RowLoader>
  static std::uint32_t JudgeRows(RowLoader load) {
    const __m128i margin = _mm_set1_epi32(20);
    __m128i holding = _mm_setzero_si128();
    __m128i a = load(0);
    __m128i b = load(1);
    for (int r = 0; r < 8; ++r) {
      const __m128i c = load(r + 2);
      // Each sum fits the low 32 bits of its 64-bit lane; the high halves
      // are zero and never compare greater than the margin.
      const __m128i near = _mm_sad_epu8(a, b);
      const __m128i far = _mm_sad_epu8(a, c);
      holding = _mm_sub_epi32(holding, _mm_cmpgt_epi32(near, _mm_add_epi32(far, margin)));
      a = b;
      b = c;
    }
    const __m128i combed = _mm_cmpgt_epi32(holding, _mm_set1_epi32(2));
    const int lanes = _mm_movemask_ps(_mm_castsi128_ps(combed));  // bits 0 and 2
    return static_cast<std::uint32_t>((lanes & 1) | ((lanes >> 1) & 2));
  }

  static std::uint32_t Judge(const std::uint8_t* top, std::ptrdiff_t pitch, int blocks) {
    if (blocks == kBlocks) {
      return JudgeRows([=](int r) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(top + r * pitch));
      });
    }
    return JudgeRows(
        [=](int r) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(top + r * pitch)); });
  }
};

}  // namespace

std::int32_t ScanCombedBlocksSse2(const LumaPlane& plane, bool show) {
  return ScanBandsWith<Sse2Blocks>(plane, show);
}

}  // namespace vorlith
