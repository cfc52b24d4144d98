#include "debug_string_capture_win32.h"

#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>

namespace vorlith::runner {
namespace {

// Held while a string is handed over and while a capture starts or stops,
// so that Stop waits for a string on its way and no capture is destroyed
// under a handler that still uses it. A receiver takes its own locks
// inside this one, never the other way round.
std::mutex capture_lock;
DebugStringCapture* active_capture = nullptr;  // guarded by capture_lock
// Whether this thread is inside a receiver: a string that the receiver
// sends would wait for capture_lock, which this thread already holds.
thread_local bool receiving = false;

}  // namespace

DebugStringCapture::DebugStringCapture(Receiver receive) : receive_(std::move(receive)) {
  const std::lock_guard lock(capture_lock);
  if (active_capture != nullptr) {
    throw std::logic_error("the debug strings of this process are already being captured");
  }
  // First in line: no other handler of the process sees the strings.
  handler_ = AddVectoredExceptionHandler(1, TakeDebugString);
  if (handler_ == nullptr) {
    throw std::runtime_error("cannot install a handler for debug strings (Windows error " +
                             std::to_string(GetLastError()) + ")");
  }
  active_capture = this;
}

DebugStringCapture::~DebugStringCapture() { Uninstall(); }

void DebugStringCapture::Stop() {
  Uninstall();
  if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void DebugStringCapture::Uninstall() {
  const std::lock_guard lock(capture_lock);
  if (handler_ == nullptr) return;
  RemoveVectoredExceptionHandler(handler_);
  handler_ = nullptr;
  active_capture = nullptr;
}

LONG CALLBACK DebugStringCapture::TakeDebugString(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
  if (record.ExceptionCode != DBG_PRINTEXCEPTION_C || record.NumberParameters < 2 || receiving) {
    return EXCEPTION_CONTINUE_SEARCH;
  }
  const ULONG_PTR length = record.ExceptionInformation[0];  // with the terminating zero
  const char* text = reinterpret_cast<const char*>(record.ExceptionInformation[1]);
  if (length == 0 || text == nullptr) return EXCEPTION_CONTINUE_SEARCH;

  const std::lock_guard lock(capture_lock);
  // Stopped after this string was raised: it goes where it would have gone.
  if (active_capture == nullptr) return EXCEPTION_CONTINUE_SEARCH;
  receiving = true;
  // No C++ exception may leave the handler: Windows' exception dispatch,
  // which called it, cannot be unwound.
  try {
    active_capture->receive_(std::string_view(text, length - 1));
  } catch (...) {
    if (!active_capture->failure_) active_capture->failure_ = std::current_exception();
  }
  receiving = false;
  return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace vorlith::runner
