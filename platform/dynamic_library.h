// The platform's dynamic libraries: what plugin loading needs of them.
#pragma once

#include <string>

namespace vorlith::platform {

// Opens the library at `path`, which names a file: a path without a directory
// is in the current directory, on every system. Null with the system's reason
// in `error` when it cannot.
void* OpenLibrary(const std::string& path, std::string* error);
// The address of the exported `name`, or null.
void* FindSymbol(void* library, const char* name);
void CloseLibrary(void* library);

}  // namespace vorlith::platform
