// The instruction sets a frame server tells its plugins about, as the
// operating system reports them: glibc on Linux, Windows' own query there.
// These are the very answers that the scan's dispatch acts on (it asks the
// same two sources itself, being built into the plugin, which links none of
// this), so that the host never says the processor has what the scan would
// not use, or the other way round.
#pragma once

namespace vorlith::platform {

struct ProcessorFeatures {
  bool fpu = false;
  bool mmx = false;
  bool sse = false;  // with its integer part on MMX registers, psadbw among it
  bool sse2 = false;
};

// Nothing on a processor that is not x86.
ProcessorFeatures ReadProcessorFeatures();

}  // namespace vorlith::platform
