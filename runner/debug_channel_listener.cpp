#include "debug_channel_listener.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace vorlith::runner {
namespace {

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;  // nowhere left to say anything
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

}  // namespace

DebugChannelListener::DebugChannelListener(bool progress) : started_ns_(NowNs()) {
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
  {
    std::lock_guard lock(terminal_);
    ClearProgress();
    progress_line_.clear();
  }
  // With the last write end gone, the reader sees the end of the pipe.
  std::fflush(stderr);
  dup2(real_stderr_, STDERR_FILENO);
  reader_.join();
  close(read_end_);
  close(real_stderr_);
  real_stderr_ = -1;
  return tally_;
}

void DebugChannelListener::Pass() {
  std::string pending;  // bytes of a line not yet ended
  char chunk[4096];
  for (;;) {
    const ssize_t got = read(read_end_, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    pending.append(chunk, static_cast<std::size_t>(got));
    std::size_t end;
    while ((end = pending.find('\n')) != std::string::npos) {
      const std::string line = pending.substr(0, end + 1);
      pending.erase(0, end + 1);
      std::lock_guard lock(terminal_);
      tally_.Count(std::string_view(line).substr(0, line.size() - 1));
      Write(line);
    }
  }
  std::lock_guard lock(terminal_);
  if (!pending.empty()) Write(pending);
}

void DebugChannelListener::Progress(std::int64_t done, std::int64_t total) {
  if (!progress_shown_) return;
  // A few redraws a second are enough for a person to read.
  const std::int64_t now = NowNs();
  if (now - drawn_ns_ < 100'000'000 && done != total) return;
  drawn_ns_ = now;
  const double seconds = static_cast<double>(now - started_ns_) / 1e9;
  char line[128];
  if (total > 0) {
    std::snprintf(line, sizeof line, "frames %lld/%lld  %.1f fps", static_cast<long long>(done),
                  static_cast<long long>(total), seconds > 0 ? done / seconds : 0.0);
  } else {
    std::snprintf(line, sizeof line, "frames %lld  %.1f fps", static_cast<long long>(done),
                  seconds > 0 ? done / seconds : 0.0);
  }
  std::lock_guard lock(terminal_);
  ClearProgress();
  progress_line_ = line;
  DrawProgress();
}

void DebugChannelListener::Say(const std::string& line) {
  const std::string bytes = line + "\n";
  std::lock_guard lock(terminal_);
  if (real_stderr_ < 0) {
    WriteAll(STDERR_FILENO, bytes.data(), bytes.size());
  } else {
    Write(bytes);
  }
}

// Callers hold terminal_.
void DebugChannelListener::Write(const std::string& bytes) {
  ClearProgress();
  WriteAll(real_stderr_, bytes.data(), bytes.size());
  DrawProgress();
}

void DebugChannelListener::ClearProgress() {
  if (progress_shown_ && !progress_line_.empty()) WriteAll(real_stderr_, "\r\033[K", 4);
}

void DebugChannelListener::DrawProgress() {
  if (progress_shown_ && !progress_line_.empty()) {
    WriteAll(real_stderr_, progress_line_.data(), progress_line_.size());
  }
}

}  // namespace vorlith::runner
