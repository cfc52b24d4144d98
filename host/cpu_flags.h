// The processor flags that the environment's GetCPUFlags gives plugins.
#pragma once

namespace vorlith::host {

// The CPUF_* flag word for this processor, from what the operating system
// reports of it (processor_features.h): the one source that the scan's
// dispatch asks too.
long ReadProcessorFlags();

}  // namespace vorlith::host
