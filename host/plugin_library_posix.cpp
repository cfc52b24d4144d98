#include <dlfcn.h>

#include "plugin_library.h"
#include "script_error.h"

namespace vorlith::host {

std::string LoadPlugin(Environment& env, const std::string& path) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* reason = dlerror();
    throw PluginLoadError("cannot load plugin " + path + ": " +
                          (reason ? reason : "unknown error"));
  }
  using Entry = const char* (*)(IScriptEnvironment*);
  auto* entry = reinterpret_cast<Entry>(dlsym(library, kPluginEntryName));
  if (entry == nullptr) {
    dlclose(library);  // it registered nothing, so nothing can refer to it
    throw PluginLoadError(path + " is not a plugin: it has no " + kPluginEntryName +
                          " entry point");
  }
  const char* description = entry(&env);
  return description ? description : "";
}

}  // namespace vorlith::host
