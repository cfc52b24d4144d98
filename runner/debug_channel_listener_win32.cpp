#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <unistd.h>

#include <cstdio>

#include "debug_channel_listener.h"
#include "debug_string_capture_win32.h"

namespace vorlith::runner {
namespace {

// The progress line is redrawn with terminal control sequences, which a
// Windows console follows only once asked to.
bool ConsoleTakesControlSequences(int fd) {
  const HANDLE console = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  DWORD mode = 0;
  return isatty(fd) && GetConsoleMode(console, &mode) &&
         SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

}  // namespace

DebugChannelListener::DebugChannelListener(bool progress) {
  // The lines pass on exactly as sent: in text mode every line feed would
  // gain a carriage return.
  std::fflush(stderr);
  _setmode(STDERR_FILENO, _O_BINARY);
  real_stderr_ = STDERR_FILENO;
  progress_shown_ = progress && ConsoleTakesControlSequences(real_stderr_);
  if (IsDebuggerPresent()) {
    Say("framehost: a debugger is attached and takes the report lines; they are not counted");
  }
  capture_ = std::make_unique<DebugStringCapture>([this](std::string_view text) { Receive(text); });
}

DebugChannelListener::~DebugChannelListener() { Finish(); }

ReportTally DebugChannelListener::Finish() {
  if (real_stderr_ < 0) return tally_;
  EndProgress();
  capture_->Stop();  // every line sent so far has been passed on
  PassRest();
  real_stderr_ = -1;
  return tally_;
}

}  // namespace vorlith::runner
