#include "interrupted_pipes.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <stdexcept>
#include <utility>

namespace vorlith::testing {
namespace {

void NoOp(int) {}

void MakePipe(int* read_fd, int* write_fd) {
  int ends[2];
  if (pipe(ends) != 0) throw std::runtime_error("pipe failed");
  *read_fd = ends[0];
  *write_fd = ends[1];
}

void CloseOnce(int* fd) {
  if (*fd >= 0) close(*fd);
  *fd = -1;
}

}  // namespace

InterruptingSignal::InterruptingSignal() {
  struct sigaction action = {};
  action.sa_handler = NoOp;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: interrupted calls return to the caller
  sigaction(SIGUSR1, &action, &saved_);
}

InterruptingSignal::~InterruptingSignal() { sigaction(SIGUSR1, &saved_, nullptr); }

IgnoredSigpipe::IgnoredSigpipe() {
  struct sigaction action = {};
  action.sa_handler = SIG_IGN;
  sigemptyset(&action.sa_mask);
  sigaction(SIGPIPE, &action, &saved_);
}

IgnoredSigpipe::~IgnoredSigpipe() { sigaction(SIGPIPE, &saved_, nullptr); }

TricklingPipe::TricklingPipe(std::string bytes) : reader_(pthread_self()) {
  MakePipe(&read_fd_, &write_fd_);
  feeder_ = std::thread(&TricklingPipe::Feed, this, std::move(bytes));
}

TricklingPipe::~TricklingPipe() {
  // A test that stopped reading early leaves bytes in the pipe; stop_ ends
  // the wait for them to go.
  stop_ = true;
  feeder_.join();
  CloseOnce(&write_fd_);
  CloseOnce(&read_fd_);
}

void TricklingPipe::Feed(std::string bytes) {
  for (const char byte : bytes) {
    for (int queued = 1; queued > 0 && !stop_;) {
      if (ioctl(write_fd_, FIONREAD, &queued) != 0) return;
      std::this_thread::yield();
    }
    if (stop_) return;
    pthread_kill(reader_, SIGUSR1);
    if (write(write_fd_, &byte, 1) != 1) return;
  }
  // The end of the input, once the reader has taken the last byte.
  CloseOnce(&write_fd_);
}

InterruptingDrain::InterruptingDrain() : writer_(pthread_self()) {
  MakePipe(&read_fd_, &write_fd_);
  drain_ = std::thread([this] {
    char chunk[4096];
    for (ssize_t got; (got = read(read_fd_, chunk, sizeof chunk)) != 0;) {
      if (got < 0) return;
      drained_.append(chunk, static_cast<std::size_t>(got));
      pthread_kill(writer_, SIGUSR1);
    }
  });
}

InterruptingDrain::~InterruptingDrain() { Finish(); }

std::string InterruptingDrain::Finish() {
  CloseOnce(&write_fd_);
  if (drain_.joinable()) drain_.join();
  CloseOnce(&read_fd_);
  return drained_;
}

}  // namespace vorlith::testing
