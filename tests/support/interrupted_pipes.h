// Pipes that behave as badly as pipes may: one byte per read, short writes,
// and system calls cut off by signals. Each helper owns a pipe and a thread
// on the far end of it; the test's own thread reads or writes the near end.
#pragma once

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <string>
#include <thread>

namespace vorlith::testing {

// While alive, SIGUSR1 runs an empty handler installed without SA_RESTART,
// so a blocking read or write that it interrupts returns EINTR, or the
// count moved so far.
class InterruptingSignal {
 public:
  InterruptingSignal();
  ~InterruptingSignal();
  InterruptingSignal(const InterruptingSignal&) = delete;
  InterruptingSignal& operator=(const InterruptingSignal&) = delete;

 private:
  struct sigaction saved_;
};

// While alive, SIGPIPE is ignored, so writing to a pipe without a reader
// fails with EPIPE instead of ending the process.
class IgnoredSigpipe {
 public:
  IgnoredSigpipe();
  ~IgnoredSigpipe();
  IgnoredSigpipe(const IgnoredSigpipe&) = delete;
  IgnoredSigpipe& operator=(const IgnoredSigpipe&) = delete;

 private:
  struct sigaction saved_;
};

// Feeds `bytes` into a pipe one at a time. Before each byte it waits until
// the pipe is empty and sends SIGUSR1 to the thread that constructed it,
// so each of that thread's reads returns one byte or fails with EINTR.
// Needs an InterruptingSignal alive for as long as it is.
class TricklingPipe {
 public:
  explicit TricklingPipe(std::string bytes);
  ~TricklingPipe();
  TricklingPipe(const TricklingPipe&) = delete;
  TricklingPipe& operator=(const TricklingPipe&) = delete;

  int read_fd() const { return read_fd_; }

 private:
  void Feed(std::string bytes);

  int read_fd_ = -1;
  int write_fd_ = -1;
  pthread_t reader_;
  std::atomic<bool> stop_{false};
  std::thread feeder_;
};

// Drains a pipe in small reads and sends SIGUSR1 to the thread that
// constructed it after each one, so that thread's writes into a full pipe
// are cut short. Needs an InterruptingSignal alive for as long as it is.
class InterruptingDrain {
 public:
  InterruptingDrain();
  ~InterruptingDrain();
  InterruptingDrain(const InterruptingDrain&) = delete;
  InterruptingDrain& operator=(const InterruptingDrain&) = delete;

  int write_fd() const { return write_fd_; }
  // Closes the write end and returns everything that came through.
  std::string Finish();

 private:
  int read_fd_ = -1;
  int write_fd_ = -1;
  pthread_t writer_;
  std::string drained_;
  std::thread drain_;
};

}  // namespace vorlith::testing
