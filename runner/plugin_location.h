#pragma once

#include <string>

namespace vorlith::runner {

// The VorlithSSE library beside the framehost executable: in the same
// directory (the build tree), or in ../lib/vorlith (an installed tree).
// When neither exists, the first of the two, so the error names it. On
// Windows, where programs keep their DLLs beside them, VorlithSSE.dll in
// the executable's directory.
std::string DefaultPluginPath();

}  // namespace vorlith::runner
