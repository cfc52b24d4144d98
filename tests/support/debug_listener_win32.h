// Runs a program under the Win32 debug API and hands over every string that
// it sends to the debugger output channel (OutputDebugStringA), one string
// per call, exactly as a debugger receives them.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlith::testing {

using DebugStringReceiver = std::function<void(std::string_view text)>;

// Starts `command[0]` with the arguments `command[1..]` as this thread's only
// debuggee, passes each of its debug strings (without the terminating zero)
// to `receive` as it arrives, and returns the program's exit code once it has
// ended. The program shares this process's standard handles. Throws
// std::runtime_error, saying why, when the program cannot be started or
// watched; the program is ended then.
unsigned long ListenToDebugOutput(const std::vector<std::string>& command,
                                  const DebugStringReceiver& receive);

}  // namespace vorlith::testing
