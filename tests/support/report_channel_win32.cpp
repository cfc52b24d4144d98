#include <windows.h>

#include <stdexcept>

#include "debug_listener_win32.h"
#include "report_channel.h"

namespace vorlith::testing {
namespace {

// The child is built into the directory of the test program itself.
std::string ChildPath() {
  char own[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, own, MAX_PATH);
  if (length == 0 || length == MAX_PATH)
    throw std::runtime_error("cannot find this program's path");
  std::string path(own, length);
  return path.substr(0, path.find_last_of("\\/") + 1) + "report_frame_child.exe";
}

}  // namespace

std::vector<std::string> ReportThroughChannel(const std::vector<ReportCall>& calls) {
  std::vector<std::string> command{ChildPath()};
  for (const ReportCall& call : calls) {
    for (const std::int32_t value : {call.n, call.count, call.th}) {
      command.push_back(std::to_string(value));
    }
  }
  std::vector<std::string> messages;
  const unsigned long exit_code =
      ListenToDebugOutput(command, [&](std::string_view text) { messages.emplace_back(text); });
  if (exit_code != 0) {
    throw std::runtime_error("report_frame_child.exe exited with " + std::to_string(exit_code));
  }
  return messages;
}

}  // namespace vorlith::testing
