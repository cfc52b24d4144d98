// Captures what the process sends to the debugger output channel while an
// object lives, heard where a debug-output viewer listens: on POSIX the
// process's standard error, on Windows OutputDebugStringA's channel.
#pragma once

#include <string>

#if defined(_WIN32)
#include "debug_output_monitor_win32.h"
#else
#include "stderr_capture.h"
#endif

namespace vorlith::testing {

#if defined(_WIN32)
class ReportCapture {
 public:
  // Throws std::runtime_error when another program holds the channel.
  ReportCapture();

  // Stops listening and returns every string sent since capture began,
  // joined in the order sent.
  std::string Finish();

 private:
  std::string received_;
  runner::DebugOutputMonitor monitor_;
};
#else
using ReportCapture = StderrCapture;
#endif

}  // namespace vorlith::testing
