#include "plugin_library.h"

#include "dynamic_library.h"
#include "script_error.h"

namespace vorlith::host {

std::string LoadPlugin(Environment& env, const std::string& path) {
  std::string reason;
  void* library = platform::OpenLibrary(path, &reason);
  if (library == nullptr) throw PluginLoadError("cannot load plugin " + path + ": " + reason);
  using Entry = const char*(FRAMESERVER_STDCALL*)(IScriptEnvironment*);
  auto* entry = reinterpret_cast<Entry>(platform::FindSymbol(library, kPluginEntryName));
  if (entry == nullptr) {
    platform::CloseLibrary(library);  // it registered nothing, so nothing can refer to it
    throw PluginLoadError(path + " is not a plugin: it has no " + kPluginEntryName +
                          " entry point");
  }
  const char* description = entry(&env);
  return description ? description : "";
}

}  // namespace vorlith::host
