// What ReportFrame sends, seen from where a debug-output viewer listens.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorlith::testing {

struct ReportCall {
  std::int32_t n;
  std::int32_t count;
  std::int32_t th;
};

// Makes the calls of ReportFrame in order and returns what reached the
// debugger output channel, one string per message. On POSIX the calls run in
// this process with standard error captured around each one. On Windows a
// debugger receives the strings, and a process cannot debug itself, so the
// calls run in report_frame_child.exe (next to this program) under a debug
// listener. Throws std::runtime_error when the calls cannot be made.
std::vector<std::string> ReportThroughChannel(const std::vector<ReportCall>& calls);

}  // namespace vorlith::testing
