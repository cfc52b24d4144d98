// The listener on OutputDebugStringA's channel, as framehost and the
// plugin tests use it: this process's strings arrive whole and in order,
// other programs' strings are not taken for ours, and a second listener is
// refused with a clear error instead of stealing strings from the first.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "debug_output_monitor_win32.h"

namespace vorlith::testing {
namespace {

using runner::DebugOutputMonitor;

TEST(DebugOutputMonitor, TakesThisProcessStringsWholeAndInOrder) {
  std::vector<std::string> received;
  DebugOutputMonitor monitor([&](std::string_view text) { received.emplace_back(text); });
  const std::vector<std::string> sent = {"\r2 frame=7 --- Blocks=100\n", "", "no line end",
                                         std::string(4000, 'x') + "\n"};
  for (const std::string& text : sent) OutputDebugStringA(text.c_str());
  monitor.Stop();
  EXPECT_EQ(received, sent);
}

TEST(DebugOutputMonitor, LeavesOtherProgramsStringsAlone) {
  std::vector<std::string> received;
  DebugOutputMonitor monitor([&](std::string_view text) { received.emplace_back(text); });
  // Not debugged, the child sends its report line into the same channel.
  // Windows finds it beside this program.
  char command[] = "report_frame_child.exe 7 100 80";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  ASSERT_TRUE(CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &child));
  WaitForSingleObject(child.hProcess, INFINITE);
  DWORD exit_code = 1;
  GetExitCodeProcess(child.hProcess, &exit_code);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);
  OutputDebugStringA("ours");
  monitor.Stop();
  EXPECT_EQ(exit_code, 0u);
  EXPECT_EQ(received, std::vector<std::string>{"ours"});
}

TEST(DebugOutputMonitor, RefusesASecondListenerAndLeavesTheFirstListening) {
  std::string heard;
  DebugOutputMonitor first([&](std::string_view text) { heard.append(text); });
  try {
    DebugOutputMonitor second([](std::string_view) {});
    ADD_FAILURE() << "a second listener started";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(),
                 "another program is already listening on the debug output channel "
                 "(DBWIN_BUFFER_READY exists); close it and try again");
  }
  OutputDebugStringA("still heard");
  first.Stop();
  EXPECT_EQ(heard, "still heard");
  // Stopped, the first one has given the channel up.
  DebugOutputMonitor next([](std::string_view) {});
}

}  // namespace
}  // namespace vorlith::testing
