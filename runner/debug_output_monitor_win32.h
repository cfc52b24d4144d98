// Listens on the Windows debugger output channel the way a debug-output
// viewer does, for the strings that this process sends with
// OutputDebugStringA. The channel is the DBWIN_BUFFER shared memory with
// its two events, DBWIN_BUFFER_READY (set by the listener when the buffer
// is free) and DBWIN_DATA_READY (set by the sender when it has put its
// process id and its string there). One listener at a time can hold it in a
// session. A debugger attached to this process takes the strings instead.
#pragma once

#include <windows.h>

#include <functional>
#include <string_view>
#include <thread>

namespace vorlith::runner {

class DebugOutputMonitor {
 public:
  using Receiver = std::function<void(std::string_view text)>;

  // Starts listening; a thread of the monitor's own passes each string of
  // this process to `receive`, as sent, without its terminating zero, in
  // the order sent. Strings of other processes are dropped. Throws
  // std::runtime_error, saying why, when another program already listens
  // or the channel cannot be made.
  explicit DebugOutputMonitor(Receiver receive);
  // Stops listening, as Stop does.
  ~DebugOutputMonitor();
  DebugOutputMonitor(const DebugOutputMonitor&) = delete;
  DebugOutputMonitor& operator=(const DebugOutputMonitor&) = delete;

  // Waits until every string sent before the call has been received, then
  // stops listening and closes the channel.
  void Stop();

 private:
  void Listen();
  // Unmaps the buffer and closes every handle that is open.
  void Close();

  Receiver receive_;
  HANDLE buffer_ready_ = nullptr;
  HANDLE data_ready_ = nullptr;
  HANDLE stop_ = nullptr;
  HANDLE mapping_ = nullptr;
  const char* view_ = nullptr;
  std::thread listener_;
};

}  // namespace vorlith::runner
