#include <windows.h>

#include "plugin_location.h"

namespace vorlith::runner {

std::string DefaultPluginPath() {
  constexpr const char* kPlugin = "VorlithSSE.dll";
  std::string executable(MAX_PATH, '\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameA(nullptr, executable.data(), static_cast<DWORD>(executable.size()));
    if (length == 0) return kPlugin;
    // A path that fills the buffer may have been cut short.
    if (length < executable.size()) {
      executable.resize(length);
      break;
    }
    executable.resize(executable.size() * 2);
  }
  return executable.substr(0, executable.find_last_of("\\/") + 1) + kPlugin;
}

}  // namespace vorlith::runner
