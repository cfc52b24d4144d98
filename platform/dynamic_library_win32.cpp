#include <windows.h>

#include <string>

#include "dynamic_library.h"

namespace vorlith::platform {
namespace {

// The system's text for a Windows error code, without its line end.
std::string WindowsErrorText(DWORD error) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length > 0 ? std::string(text, length) : "unknown error";
  LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == ' ' || message.back() == '.')) {
    message.pop_back();
  }
  return message + " (Windows error " + std::to_string(error) + ")";
}

// The absolute form of `path`, or `path` itself when it has none.
std::string FullPath(const std::string& path) {
  std::string full(MAX_PATH, '\0');
  for (;;) {
    const DWORD length =
        GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return path;
    if (length < full.size()) return full.substr(0, length);
    full.resize(length);
  }
}

}  // namespace

void* OpenLibrary(const std::string& path, std::string* error) {
  // Given the full path, Windows looks for the DLLs that the plugin needs
  // (the compiler's runtime) in the plugin's own directory first.
  HMODULE library = LoadLibraryExA(FullPath(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (library == nullptr) *error = WindowsErrorText(GetLastError());
  return library;
}

void* FindSymbol(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseLibrary(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

}  // namespace vorlith::platform
