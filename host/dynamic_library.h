// The platform's dynamic libraries: what plugin loading needs of them.
#pragma once

#include <string>

namespace vorlith::host {

// Opens the library at `path`; null with the system's reason in `error` when it cannot.
void* OpenLibrary(const std::string& path, std::string* error);
// The address of the exported `name`, or null.
void* FindSymbol(void* library, const char* name);
void CloseLibrary(void* library);

}  // namespace vorlith::host
