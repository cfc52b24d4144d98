// The integer-SSE form: one block at a time on 64-bit MMX registers, two
// psadbw per row test, and emms after every block so that the x87 state is
// usable again before any other code runs.
#include <xmmintrin.h>

#include <cstring>

#include "scan_band_loop.h"

namespace vorlith {
namespace {

struct IsseBlocks {
  static constexpr int kBlocks = 1;

  static __m64 Load(const std::uint8_t* p) {
    __m64 v;
    std::memcpy(&v, p, sizeof v);
    return v;
  }

  static std::uint32_t Judge(const std::uint8_t* top, std::ptrdiff_t pitch, int /*blocks*/) {
    __m64 a = Load(top);
    __m64 b = Load(top + pitch);
    int holding = 0;
    for (int r = 0; r < 8; ++r) {
      const __m64 c = Load(top + (r + 2) * pitch);
      const int near = _mm_cvtsi64_si32(_mm_sad_pu8(a, b));
      const int far = _mm_cvtsi64_si32(_mm_sad_pu8(a, c));
      holding += near > far + 20;
      a = b;
      b = c;
    }
    _mm_empty();
    return holding >= 3 ? 1u : 0u;
  }
};

}  // namespace

std::int32_t ScanCombedBlocksIsse(const LumaPlane& plane, bool show) {
  return ScanBandsWith<IsseBlocks>(plane, show);
}

}  // namespace vorlith
