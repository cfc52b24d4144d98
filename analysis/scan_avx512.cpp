// The AVX-512BW form: one 64-byte vector holds eight blocks of a band. The
// last one to seven blocks are read with masked loads, which never touch
// the lanes left out.
#include <immintrin.h>

#include "scan_band_loop.h"

namespace vorlith {
namespace {

struct Avx512Blocks {
  static constexpr int kBlocks = 8;

  // `load(r)` gives row r of the blocks, zero in any lane past the last one.
  template <class RowLoader>
  static std::uint32_t JudgeRows(RowLoader load) {
    const __m512i margin = _mm512_set1_epi64(20);
    const __m512i one = _mm512_set1_epi64(1);
    __m512i holding = _mm512_setzero_si512();
    __m512i a = load(0);
    __m512i b = load(1);
    for (int r = 0; r < 8; ++r) {
      const __m512i c = load(r + 2);
      const __m512i near = _mm512_sad_epu8(a, b);
      const __m512i far = _mm512_sad_epu8(a, c);
      const __mmask8 holds = _mm512_cmpgt_epu64_mask(near, _mm512_add_epi64(far, margin));
      holding = _mm512_mask_add_epi64(holding, holds, holding, one);
      a = b;
      b = c;
    }
    return _mm512_cmpgt_epu64_mask(holding, _mm512_set1_epi64(2));
  }

  static std::uint32_t Judge(const std::uint8_t* top, std::ptrdiff_t pitch, int blocks) {
    if (blocks == kBlocks) {
      return JudgeRows([=](int r) { return _mm512_loadu_si512(top + r * pitch); });
    }
    const __mmask8 lanes = static_cast<__mmask8>((1u << blocks) - 1);
    return JudgeRows([=](int r) { return _mm512_maskz_loadu_epi64(lanes, top + r * pitch); });
  }
};

}  // namespace

std::int32_t ScanCombedBlocksAvx512(const LumaPlane& plane, bool show) {
  return ScanBandsWith<Avx512Blocks>(plane, show);
}

}  // namespace vorlith
