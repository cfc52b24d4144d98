#include "debug_channel_listener.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>

namespace vorlith::runner {
namespace {

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

std::int64_t DebugChannelListener::NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void DebugChannelListener::Receive(std::string_view bytes) {
  std::lock_guard lock(terminal_);
  pending_.append(bytes);
  std::size_t end;
  while ((end = pending_.find('\n')) != std::string::npos) {
    const std::string line = pending_.substr(0, end + 1);
    pending_.erase(0, end + 1);
    tally_.Count(std::string_view(line).substr(0, line.size() - 1));
    Write(line);
  }
}

void DebugChannelListener::EndProgress() {
  std::lock_guard lock(terminal_);
  ClearProgress();
  progress_line_.clear();
}

void DebugChannelListener::PassRest() {
  std::lock_guard lock(terminal_);
  if (!pending_.empty()) Write(pending_);
  pending_.clear();
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
