#include <dlfcn.h>

#include "dynamic_library.h"

namespace vorlith::platform {

void* OpenLibrary(const std::string& path, std::string* error) {
  // dlopen would look for a bare name on the system's library path; a path
  // without a directory means the current directory, as it does on Windows.
  const std::string opened = path.find('/') == std::string::npos ? "./" + path : path;
  void* library = dlopen(opened.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* reason = dlerror();
    *error = reason ? reason : "unknown error";
  }
  return library;
}

void* FindSymbol(void* library, const char* name) { return dlsym(library, name); }

void CloseLibrary(void* library) { dlclose(library); }

}  // namespace vorlith::platform
