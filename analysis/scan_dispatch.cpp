// The one place that reads the processor's features. The library keeps no
// state and runs nothing at load, so the choice is made on every call; it
// must therefore cost next to nothing. glibc already holds the answer,
// including whether the OS saves the wider register state, and reads it
// without a cpuid instruction (which traps to the hypervisor on virtual
// machines and costs more than a whole scan).
#include "scan_paths.h"

#if defined(VORLITH_X86_SCAN_PATHS)
// glibc's header (2.36) returns C's _Bool from its inline functions. g++
// takes that keyword in C++ as an extension and clang does not, so for clang
// it is spelt as C++'s bool while the header is read.
#if defined(__clang__)
#define _Bool bool
#endif
#include <sys/platform/x86.h>
#if defined(__clang__)
#undef _Bool
#endif
#endif

namespace vorlith {

ScanPathList SupportedScanPaths() {
  ScanPathList list;
  list.Add("scalar", ScanCombedBlocksScalar);
#if defined(VORLITH_X86_SCAN_PATHS)
  // Climb the levels in order; each needs everything below it.
  if (!CPU_FEATURE_ACTIVE(SSE)) return list;
  list.Add("isse", ScanCombedBlocksIsse);
  if (!CPU_FEATURE_ACTIVE(SSE2)) return list;
  list.Add("sse2", ScanCombedBlocksSse2);
  if (!CPU_FEATURE_ACTIVE(AVX2)) return list;
  list.Add("avx2", ScanCombedBlocksAvx2);
  if (!CPU_FEATURE_ACTIVE(AVX512F) || !CPU_FEATURE_ACTIVE(AVX512BW)) return list;
  list.Add("avx512", ScanCombedBlocksAvx512);
#endif
  return list;
}

std::int32_t ScanCombedBlocks(const LumaPlane& plane, bool show) {
  return SupportedScanPaths().Widest().scan(plane, show);
}

}  // namespace vorlith
