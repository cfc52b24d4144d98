// The one place that reads the processor's features. The library keeps no
// state and runs nothing at load, so the choice is made on every call; it
// must therefore cost next to nothing. Both operating systems already hold
// the answer, including whether they save the wider register state, and
// hand it out without a cpuid instruction (which traps to the hypervisor on
// virtual machines and costs more than a whole scan): glibc in its own data,
// Windows in the page of system data mapped into every process.
#include "scan_paths.h"

#if defined(VORLITH_X86_SCAN_PATHS) && defined(_WIN32)
#include <windows.h>
#elif defined(VORLITH_X86_SCAN_PATHS)
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
namespace {

#if defined(VORLITH_X86_SCAN_PATHS) && defined(_WIN32)
// "XMMI" is Windows' name for SSE, which brings psadbw on MMX registers.
bool HasIntegerSse() { return IsProcessorFeaturePresent(PF_XMMI_INSTRUCTIONS_AVAILABLE); }
bool HasSse2() { return IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE); }
// The AVX2 flag names the instructions only; Windows sets its AVX flag only
// where it has enabled the 256-bit register state, so both are asked.
bool HasAvx2() {
  return IsProcessorFeaturePresent(PF_AVX_INSTRUCTIONS_AVAILABLE) &&
         IsProcessorFeaturePresent(PF_AVX2_INSTRUCTIONS_AVAILABLE);
}
// No AVX-512 level on Windows: the only free query there is for AVX-512F,
// and AVX-512F does not imply the AVX-512BW that the wide form needs
// (psadbw on 512-bit registers). Asking cpuid on every call is far too slow.
#elif defined(VORLITH_X86_SCAN_PATHS)
bool HasIntegerSse() { return CPU_FEATURE_ACTIVE(SSE); }
bool HasSse2() { return CPU_FEATURE_ACTIVE(SSE2); }
bool HasAvx2() { return CPU_FEATURE_ACTIVE(AVX2); }
bool HasAvx512() { return CPU_FEATURE_ACTIVE(AVX512F) && CPU_FEATURE_ACTIVE(AVX512BW); }
#endif

}  // namespace

ScanPathList SupportedScanPaths() {
  ScanPathList list;
  list.Add("scalar", ScanCombedBlocksScalar);
#if defined(VORLITH_X86_SCAN_PATHS)
  // Climb the levels in order; each needs everything below it.
  if (!HasIntegerSse()) return list;
  list.Add("isse", ScanCombedBlocksIsse);
  if (!HasSse2()) return list;
  list.Add("sse2", ScanCombedBlocksSse2);
  if (!HasAvx2()) return list;
  list.Add("avx2", ScanCombedBlocksAvx2);
#if !defined(_WIN32)
  if (!HasAvx512()) return list;
  list.Add("avx512", ScanCombedBlocksAvx512);
#endif
#endif
  return list;
}

std::int32_t ScanCombedBlocks(const LumaPlane& plane, bool show) {
  return SupportedScanPaths().Widest().scan(plane, show);
}

}  // namespace vorlith
