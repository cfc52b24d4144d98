// Hears the strings that this process sends with OutputDebugStringA, in
// the process itself. OutputDebugStringA first raises the debug-print
// exception (DBG_PRINTEXCEPTION_C, with the string's length including its
// terminating zero and its address) and only when nobody handles that
// does it hand the string to the session-wide DBWIN_BUFFER channel, where
// one listener at a time can hear it and the sender gives up after 10 s
// when that listener is slow. A debugger attached to the process takes the
// exception first; otherwise the vectored exception handler installed here
// hands the string over and lets OutputDebugStringA return, so the string
// goes nowhere else.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string_view>

namespace vorlith::runner {

class DebugStringCapture {
 public:
  using Receiver = std::function<void(std::string_view text)>;

  // Installs the handler. From then on `receive` gets every string that a
  // thread of this process sends, without its terminating zero, on the
  // sending thread while OutputDebugStringA waits for it: however long
  // `receive` takes, no string is lost, and each thread's strings arrive
  // in the order sent. Calls of `receive` never overlap; a string sent from
  // within `receive` passes on as if nobody captured it. One capture at a
  // time in a process: a second throws std::logic_error. Throws
  // std::runtime_error when Windows refuses the handler.
  explicit DebugStringCapture(Receiver receive);
  // Stops capturing, as Stop does, but drops a receiver's exception.
  ~DebugStringCapture();
  DebugStringCapture(const DebugStringCapture&) = delete;
  DebugStringCapture& operator=(const DebugStringCapture&) = delete;

  // Removes the handler, after waiting for a string that another thread is
  // handing over. Then rethrows the first exception that `receive` threw, if
  // any (the string that it was given counts as taken). Not to be called
  // from within `receive`.
  void Stop();

 private:
  static LONG CALLBACK TakeDebugString(EXCEPTION_POINTERS* exception);
  void Uninstall();

  Receiver receive_;
  void* handler_ = nullptr;
  std::exception_ptr failure_;
};

}  // namespace vorlith::runner
