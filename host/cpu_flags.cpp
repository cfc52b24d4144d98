#include "cpu_flags.h"

#include "plugin_interface.h"
#include "processor_features.h"

namespace vorlith::host {

long ReadProcessorFlags() {
  const platform::ProcessorFeatures features = platform::ReadProcessorFeatures();
  long flags = 0;
  if (features.fpu) flags |= CPUF_FPU;
  if (features.mmx) flags |= CPUF_MMX;
  // SSE brings the integer instructions on MMX registers, psadbw among them.
  if (features.sse) flags |= CPUF_SSE | CPUF_INTEGER_SSE;
  if (features.sse2) flags |= CPUF_SSE2;
  return flags;
}

}  // namespace vorlith::host
