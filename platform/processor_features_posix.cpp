#include "processor_features.h"

#if defined(__i386__) || defined(__x86_64__)
// glibc's header (2.36) returns C's _Bool from its inline functions. g++
// takes that keyword in C++ as an extension and clang does not, so for clang
// it is spelt as C++'s bool while the header is read. (The scan's dispatch
// reads the header the same way; being built into the plugin, it shares no
// code with this layer.)
#if defined(__clang__)
#define _Bool bool
#endif
#include <sys/platform/x86.h>
#if defined(__clang__)
#undef _Bool
#endif
#endif

namespace vorlith::platform {

ProcessorFeatures ReadProcessorFeatures() {
  ProcessorFeatures features;
#if defined(__i386__) || defined(__x86_64__)
  features.fpu = CPU_FEATURE_ACTIVE(FPU);
  features.mmx = CPU_FEATURE_ACTIVE(MMX);
  features.sse = CPU_FEATURE_ACTIVE(SSE);
  features.sse2 = CPU_FEATURE_ACTIVE(SSE2);
#endif
  return features;
}

}  // namespace vorlith::platform
