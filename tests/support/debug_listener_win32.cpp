#include "debug_listener_win32.h"

#include <windows.h>

#include <stdexcept>
#include <string_view>

namespace vorlith::testing {
namespace {

// Takes the error code first, before building the message can change it.
[[noreturn]] void ThrowLastError(std::string_view what, std::string_view subject = {}) {
  const DWORD error = GetLastError();
  throw std::runtime_error(std::string(what) + std::string(subject) + " (Windows error " +
                           std::to_string(error) + ")");
}

// Quotes one argument so that the child's C runtime, which splits its
// command line by the rules of CommandLineToArgvW, reads it back unchanged:
// backslashes are literal except before a quote, where they are doubled.
std::string QuoteArgument(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
    return argument;
  }
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char ch : argument) {
    if (ch == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(ch == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += ch;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + '"';
}

std::string CommandLine(const std::vector<std::string>& command) {
  std::string line;
  for (const std::string& argument : command) {
    if (!line.empty()) line += ' ';
    line += QuoteArgument(argument);
  }
  return line;
}

class OwnedHandle {
 public:
  explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
  ~OwnedHandle() {
    if (handle_ != nullptr) CloseHandle(handle_);
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

// WaitForDebugEvent, unlike its Ex form, delivers every string as 8-bit
// text; the length it gives counts the terminating zero.
std::string ReadDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info) {
  if (info.fUnicode) throw std::runtime_error("debug string arrived as UTF-16");
  std::string text(info.nDebugStringLength, '\0');
  SIZE_T read = 0;
  if (!text.empty() &&
      (!ReadProcessMemory(process, info.lpDebugStringData, text.data(), text.size(), &read) ||
       read != text.size())) {
    ThrowLastError("cannot read a debug string from the child");
  }
  if (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

unsigned long RunDebugLoop(HANDLE process, const DebugStringReceiver& receive) {
  bool loader_breakpoint_seen = false;
  for (;;) {
    DEBUG_EVENT event;
    if (!WaitForDebugEvent(&event, INFINITE)) ThrowLastError("WaitForDebugEvent failed");
    DWORD status = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        if (event.u.CreateProcessInfo.hFile != nullptr)
          CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        if (event.u.LoadDll.hFile != nullptr) CloseHandle(event.u.LoadDll.hFile);
        break;
      case OUTPUT_DEBUG_STRING_EVENT:
        receive(ReadDebugString(process, event.u.DebugString));
        break;
      case EXCEPTION_DEBUG_EVENT:
        // The loader stops every new debuggee once at a breakpoint, which is
        // the debugger's to take. Any other exception goes back to the
        // child, which handles it, or dies of it, as it would undebugged.
        if (!loader_breakpoint_seen &&
            event.u.Exception.ExceptionRecord.ExceptionCode == EXCEPTION_BREAKPOINT) {
          loader_breakpoint_seen = true;
        } else {
          status = DBG_EXCEPTION_NOT_HANDLED;
        }
        break;
      case EXIT_PROCESS_DEBUG_EVENT:
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, DBG_CONTINUE);
        return event.u.ExitProcess.dwExitCode;
      default:
        break;
    }
    if (!ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status)) {
      ThrowLastError("ContinueDebugEvent failed");
    }
  }
}

}  // namespace

unsigned long ListenToDebugOutput(const std::vector<std::string>& command,
                                  const DebugStringReceiver& receive) {
  if (command.empty()) throw std::runtime_error("no program to run");
  std::string line = CommandLine(command);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, DEBUG_ONLY_THIS_PROCESS,
                      nullptr, nullptr, &startup, &started)) {
    ThrowLastError("cannot start ", command[0]);
  }
  const OwnedHandle process(started.hProcess);
  const OwnedHandle thread(started.hThread);
  try {
    return RunDebugLoop(process.get(), receive);
  } catch (...) {
    TerminateProcess(process.get(), 1);
    DebugActiveProcessStop(started.dwProcessId);
    throw;
  }
}

}  // namespace vorlith::testing
