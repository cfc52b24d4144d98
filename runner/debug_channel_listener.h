// Listens on the debug channel, which on this platform is the process's
// standard error: the descriptor is redirected into a pipe, and a reader
// thread passes every byte on to the real standard error unchanged while it
// counts the report lines. When standard error is a terminal, a progress
// line is kept at the bottom and redrawn around what passes.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "report_tally.h"

namespace vorlith::runner {

class DebugChannelListener {
 public:
  // `progress` asks for the progress line (shown only on a terminal).
  explicit DebugChannelListener(bool progress);
  ~DebugChannelListener();
  DebugChannelListener(const DebugChannelListener&) = delete;
  DebugChannelListener& operator=(const DebugChannelListener&) = delete;

  // Frames done so far, of `total` when it is known (0 otherwise).
  void Progress(std::int64_t done, std::int64_t total);
  // Writes a line of the runner's own to the real standard error.
  void Say(const std::string& line);
  // Restores standard error, waits for the last bytes, and gives the tally.
  // Afterwards Say writes straight to standard error.
  ReportTally Finish();

 private:
  void Pass();
  void Write(const std::string& bytes);
  void ClearProgress();
  void DrawProgress();

  int real_stderr_ = -1;
  int read_end_ = -1;
  bool progress_shown_ = false;
  std::mutex terminal_;
  std::string progress_line_;
  std::int64_t started_ns_;
  std::int64_t drawn_ns_ = 0;
  ReportTally tally_;
  std::thread reader_;
};

}  // namespace vorlith::runner
