#include "cpu_flags.h"

#include "plugin_interface.h"

#if defined(__i386__) || defined(__x86_64__)
#include <cpuid.h>
#endif

namespace vorlith::host {

long ReadProcessorFlags() {
  long flags = 0;
#if defined(__i386__) || defined(__x86_64__)
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) {
    if (edx & (1u << 0)) flags |= CPUF_FPU;
    if (edx & (1u << 23)) flags |= CPUF_MMX;
    if (edx & (1u << 25)) flags |= CPUF_SSE | CPUF_INTEGER_SSE;
    if (edx & (1u << 26)) flags |= CPUF_SSE2;
  }
  // Some processors without SSE have its integer part as AMD's MMX extensions.
  if (__get_cpuid(0x80000001u, &eax, &ebx, &ecx, &edx) && (edx & (1u << 22))) {
    flags |= CPUF_INTEGER_SSE;
  }
#endif
  return flags;
}

}  // namespace vorlith::host
