#include <windows.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "system_error_text.h"

namespace vorlith::platform {
namespace {

// What a write to a pipe whose reader has gone fails with, depending on
// how the pipe was made and closed; the C runtime gives EINVAL for most.
bool IsClosedPipe(unsigned long windows_error) {
  return windows_error == ERROR_BROKEN_PIPE || windows_error == ERROR_NO_DATA ||
         windows_error == ERROR_PIPE_NOT_CONNECTED;
}

// Windows' own description, without the period and line end it ends with;
// empty when Windows has none.
std::string WindowsText(unsigned long windows_error) {
  char text[512];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                windows_error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text,
                                sizeof text, nullptr);
  while (length > 0 && std::strchr(" .\r\n", text[length - 1]) != nullptr) --length;
  return std::string(text, length);
}

}  // namespace

SystemError LastSystemError() { return {errno, _doserrno}; }

std::string SystemErrorText(const SystemError& error) {
  // Any errno but EINVAL is the right one. EINVAL may say no more than that
  // the C runtime had no errno for the Windows error; only then does the
  // Windows error tell what happened (and a stale one cannot mislead).
  if (error.number != EINVAL || error.windows_error == 0) return std::strerror(error.number);
  if (IsClosedPipe(error.windows_error)) return std::strerror(EPIPE);
  const std::string text = WindowsText(error.windows_error);
  return text.empty() ? std::strerror(error.number) : text;
}

}  // namespace vorlith::platform
