// debug_listener PROGRAM [ARGUMENTS...]
//
// Runs PROGRAM as its debuggee and writes every string that PROGRAM sends to
// the debugger output channel to standard output, byte for byte, as it
// arrives. Exits with PROGRAM's exit code, or with 125 and a message on
// standard error when PROGRAM cannot be run or watched.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "debug_listener_win32.h"

namespace {

constexpr int kListenerFailed = 125;

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: debug_listener PROGRAM [ARGUMENTS...]\n");
    return kListenerFailed;
  }
  // Text mode would turn each line feed into a carriage return and a line feed.
  _setmode(_fileno(stdout), _O_BINARY);
  try {
    const unsigned long exit_code = vorlith::testing::ListenToDebugOutput(
        std::vector<std::string>(argv + 1, argv + argc), [](std::string_view text) {
          std::fwrite(text.data(), 1, text.size(), stdout);
          std::fflush(stdout);
        });
    if (std::ferror(stdout)) {
      std::fprintf(stderr, "debug_listener: cannot write to standard output\n");
      return kListenerFailed;
    }
    return static_cast<int>(exit_code);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "debug_listener: %s\n", error.what());
    return kListenerFailed;
  }
}
