#include "debug_channel_listener.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "descriptor_io.h"

namespace vorlith::runner {

// Messages to standard error that fail have nowhere left to go, so what
// platform::WriteAll says of them is not looked at.
using platform::WriteAll;

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
  progress_drawn_ = false;
}

void DebugChannelListener::PassRest() {
  std::lock_guard lock(terminal_);
  if (!pending_.empty()) Write(pending_);
  pending_.clear();
}

void DebugChannelListener::Progress(std::int64_t done, std::int64_t total) {
  if (!progress_shown_) return;
  std::lock_guard lock(terminal_);
  done_ = done;
  total_ = total;
  // A few redraws a second are enough for a person to read; every other
  // redraw, around the lines that pass, shows the count of this moment.
  const std::int64_t now = NowNs();
  if (now - drawn_ns_ < 100'000'000 && done != total) return;
  drawn_ns_ = now;
  ClearProgress();
  progress_drawn_ = true;
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
  if (progress_drawn_) WriteAll(real_stderr_, "\r\033[K", 4);
}

void DebugChannelListener::DrawProgress() {
  if (!progress_drawn_) return;
  const double seconds = static_cast<double>(NowNs() - started_ns_) / 1e9;
  const double rate = seconds > 0 ? static_cast<double>(done_) / seconds : 0.0;
  char line[128];
  const int length = total_ > 0 ? std::snprintf(line, sizeof line, "frames %lld/%lld  %.1f fps",
                                                static_cast<long long>(done_),
                                                static_cast<long long>(total_), rate)
                                : std::snprintf(line, sizeof line, "frames %lld  %.1f fps",
                                                static_cast<long long>(done_), rate);
  WriteAll(real_stderr_, line, static_cast<std::size_t>(length));
}

}  // namespace vorlith::runner
