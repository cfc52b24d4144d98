#include "debug_output_monitor_win32.h"

#include <cstring>
#include <stdexcept>
#include <string>
#include <utility>

namespace vorlith::runner {
namespace {

// DBWIN_BUFFER holds the sender's process id and then its string, cut to
// fit and zero-terminated.
constexpr DWORD kBufferBytes = 4096;

[[noreturn]] void ThrowLastError(const std::string& what) {
  const DWORD error = GetLastError();
  throw std::runtime_error(what + " (Windows error " + std::to_string(error) + ")");
}

// Senders only open the channel's objects; they exist already when another
// listener made them.
void RefuseIfAnotherListens(const char* name) {
  if (GetLastError() == ERROR_ALREADY_EXISTS) {
    throw std::runtime_error(std::string("another program is already listening on the debug "
                                         "output channel (") +
                             name + " exists); close it and try again");
  }
}

HANDLE CreateChannelEvent(const char* name) {
  const HANDLE event = CreateEventA(nullptr, FALSE, FALSE, name);
  if (event == nullptr) ThrowLastError(std::string("cannot create the event ") + name);
  return event;
}

}  // namespace

DebugOutputMonitor::DebugOutputMonitor(Receiver receive) : receive_(std::move(receive)) {
  try {
    buffer_ready_ = CreateChannelEvent("DBWIN_BUFFER_READY");
    RefuseIfAnotherListens("DBWIN_BUFFER_READY");
    data_ready_ = CreateChannelEvent("DBWIN_DATA_READY");
    RefuseIfAnotherListens("DBWIN_DATA_READY");
    mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kBufferBytes,
                                  "DBWIN_BUFFER");
    if (mapping_ == nullptr) ThrowLastError("cannot create the shared memory DBWIN_BUFFER");
    RefuseIfAnotherListens("DBWIN_BUFFER");
    view_ = static_cast<const char*>(MapViewOfFile(mapping_, FILE_MAP_READ, 0, 0, kBufferBytes));
    if (view_ == nullptr) ThrowLastError("cannot map the shared memory DBWIN_BUFFER");
    stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (stop_ == nullptr) ThrowLastError("cannot create an event");
    listener_ = std::thread([this] { Listen(); });
  } catch (...) {
    Close();
    throw;
  }
}

DebugOutputMonitor::~DebugOutputMonitor() { Stop(); }

void DebugOutputMonitor::Stop() {
  if (!listener_.joinable()) return;
  SetEvent(stop_);
  listener_.join();
  Close();
}

void DebugOutputMonitor::Close() {
  if (view_ != nullptr) UnmapViewOfFile(view_);
  view_ = nullptr;
  for (HANDLE* handle : {&buffer_ready_, &data_ready_, &stop_, &mapping_}) {
    if (*handle != nullptr) CloseHandle(*handle);
    *handle = nullptr;
  }
}

void DebugOutputMonitor::Listen() {
  const DWORD own_process = GetCurrentProcessId();
  const HANDLE wake[] = {data_ready_, stop_};
  for (;;) {
    SetEvent(buffer_ready_);
    // When a string and the stop are both there, the wait reports the
    // lower index, the string: every string sent before Stop is taken.
    if (WaitForMultipleObjects(2, wake, FALSE, INFINITE) != WAIT_OBJECT_0) return;
    DWORD sender = 0;
    std::memcpy(&sender, view_, sizeof sender);
    if (sender != own_process) continue;
    const char* text = view_ + sizeof sender;
    receive_(std::string_view(text, strnlen(text, kBufferBytes - sizeof sender)));
  }
}

}  // namespace vorlith::runner
