#pragma once

namespace vorlith::host {

// The CPUF_* flag word for this processor, read with cpuid; 0 elsewhere.
long ReadProcessorFlags();

}  // namespace vorlith::host
