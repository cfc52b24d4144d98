// Why a call of the C runtime failed, in words a user understands: the
// text after "read failed: " or "cannot open: " in the video file layer's
// messages. On POSIX that is strerror of the errno value. Windows' C
// runtime gives EINVAL for every Windows error it has no errno for, a pipe
// whose reader has gone among them, so there the Windows error behind it
// is read as well.
#pragma once

#include <string>

namespace vorlith::platform {

// What a failed call left behind. Take it with LastSystemError straight
// after the call, on the same thread, before anything else can fail.
struct SystemError {
  int number = 0;  // the errno value; 0 when nothing failed
#if defined(_WIN32)
  unsigned long windows_error = 0;  // _doserrno: the Windows error, 0 when there was none
#endif
};

SystemError LastSystemError();

// One line without a final period, e.g. "Broken pipe".
std::string SystemErrorText(const SystemError& error);

}  // namespace vorlith::platform
