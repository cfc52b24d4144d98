#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>

#include "debug_channel_listener.h"

namespace vorlith::runner {

DebugChannelListener::DebugChannelListener(bool progress) {
  int ends[2];
  if (pipe(ends) != 0) throw std::runtime_error("cannot make a pipe for the debug channel");
  std::fflush(stderr);
  real_stderr_ = dup(STDERR_FILENO);
  dup2(ends[1], STDERR_FILENO);
  close(ends[1]);
  read_end_ = ends[0];
  progress_shown_ = progress && isatty(real_stderr_);
  reader_ = std::thread([this] { Pass(); });
}

DebugChannelListener::~DebugChannelListener() { Finish(); }

ReportTally DebugChannelListener::Finish() {
  if (real_stderr_ < 0) return tally_;
  EndProgress();
  // With the last write end gone, the reader sees the end of the pipe.
  std::fflush(stderr);
  dup2(real_stderr_, STDERR_FILENO);
  reader_.join();
  PassRest();
  close(read_end_);
  close(real_stderr_);
  real_stderr_ = -1;
  return tally_;
}

void DebugChannelListener::Pass() {
  char chunk[4096];
  for (;;) {
    const ssize_t got = read(read_end_, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    Receive({chunk, static_cast<std::size_t>(got)});
  }
}

}  // namespace vorlith::runner
