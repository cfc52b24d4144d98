// Captures what the process sends to the debugger output channel while an
// object lives, heard where framehost hears it: on POSIX the process's
// standard error, on Windows OutputDebugStringA's strings, in the process.
#pragma once

#include <string>

#if defined(_WIN32)
#include "debug_string_capture_win32.h"
#else
#include "stderr_capture.h"
#endif

namespace vorlith::testing {

#if defined(_WIN32)
class ReportCapture {
 public:
  // Throws std::logic_error while another capture of the process lives.
  ReportCapture();

  // Stops capturing and returns every string sent since capture began,
  // joined in the order sent.
  std::string Finish();

 private:
  std::string received_;
  runner::DebugStringCapture capture_;
};
#else
using ReportCapture = StderrCapture;
#endif

}  // namespace vorlith::testing
