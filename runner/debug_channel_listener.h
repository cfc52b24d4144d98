// Listens on the debug channel, where the plugin's report lines go, and
// passes every byte on to the real standard error unchanged while it counts
// the report lines. On POSIX the channel is the process's standard error:
// the descriptor is redirected into a pipe, which a reader thread drains.
// On Windows it is OutputDebugStringA's, whose strings this process hears
// itself (debug_string_capture_win32.h): each is passed on by the thread
// that sent it, before OutputDebugStringA returns, so a standard error that
// takes its time holds the sender back instead of losing lines. When
// standard error is a terminal, a progress line is kept at the bottom and
// redrawn around what passes.
//
// Locking: everything written to standard error, and the line being
// gathered, are guarded by one lock, held only while bytes are written and
// never while the caller's thread runs other code (the plugin, a frame
// request); so a line that the plugin sends from the thread that calls
// Progress or Say cannot find the lock held.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#if !defined(_WIN32)
#include <thread>
#endif

#include "report_tally.h"

namespace vorlith::runner {

#if defined(_WIN32)
class DebugStringCapture;
#endif

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
  // Takes bytes from the channel, on any thread: whole lines are counted
  // and passed on.
  void Receive(std::string_view bytes);
  // Passes on what is left of a line that was never ended.
  void PassRest();
  // Takes the progress line away for good, as listening ends.
  void EndProgress();
  void Write(const std::string& bytes);
  void ClearProgress();
  void DrawProgress();
  static std::int64_t NowNs();

  int real_stderr_ = -1;
  bool progress_shown_ = false;  // asked for, and standard error is a terminal
  std::mutex terminal_;
  // Whether the progress line stands on the terminal now; it is drawn from
  // the frames done at the moment of drawing.
  bool progress_drawn_ = false;
  std::int64_t done_ = 0;
  std::int64_t total_ = 0;
  std::string pending_;  // bytes of a line not yet ended; guarded by terminal_
  std::int64_t started_ns_ = NowNs();
  std::int64_t drawn_ns_ = 0;
  ReportTally tally_;
#if defined(_WIN32)
  std::unique_ptr<DebugStringCapture> capture_;
#else
  // The reader thread's loop: from the pipe to Receive.
  void Pass();
  int read_end_ = -1;
  std::thread reader_;
#endif
};

}  // namespace vorlith::runner
