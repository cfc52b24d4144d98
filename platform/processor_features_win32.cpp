#include <windows.h>

#include "processor_features.h"

namespace vorlith::platform {

ProcessorFeatures ReadProcessorFeatures() {
  ProcessorFeatures features;
  features.fpu = !IsProcessorFeaturePresent(PF_FLOATING_POINT_EMULATED);
  features.mmx = IsProcessorFeaturePresent(PF_MMX_INSTRUCTIONS_AVAILABLE);
  // "XMMI" is Windows' name for SSE.
  features.sse = IsProcessorFeaturePresent(PF_XMMI_INSTRUCTIONS_AVAILABLE);
  features.sse2 = IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE);
  return features;
}

}  // namespace vorlith::platform
