#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <initializer_list>
#include <stdexcept>

#include "debug_channel_listener.h"

namespace vorlith::runner {

DebugChannelListener::DebugChannelListener(bool progress) {
  // Neither the pipe nor the saved standard error may reach a program that
  // a plugin starts: a child holding the write end would keep the reader
  // from ever seeing the pipe's end.
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) {
    throw std::runtime_error("cannot make a pipe for the debug channel");
  }
  std::fflush(stderr);
  real_stderr_ = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
  dup2(ends[1], STDERR_FILENO);
  close(ends[1]);
  read_end_ = ends[0];
  progress_shown_ = progress && isatty(real_stderr_);
  // A signal that stops the run must reach the main thread, where a read
  // waiting for input then returns; the reader thread never takes one.
  sigset_t stops, previous;
  sigemptyset(&stops);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&stops, signal);
  pthread_sigmask(SIG_BLOCK, &stops, &previous);
  reader_ = std::thread([this] { Pass(); });
  pthread_sigmask(SIG_SETMASK, &previous, nullptr);
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
