// framehost's command line: framehost [options] INPUT [NAME=VALUE ...]
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorlith::runner {

struct ScriptArgument {
  std::string name;
  std::string value;
};

struct CommandLine {
  std::string input;   // a y4m path, or "-" for standard input
  std::string output;  // empty: analyse only; "-": standard output
  std::string plugin;  // empty: the plugin beside the executable
  std::string function = "Vorlith";
  std::optional<long> cpu_flags;  // pretend the processor has these CPUF_* flags
  bool quiet = false;
  bool help = false;
  bool version = false;
  std::vector<ScriptArgument> arguments;
};

// A command line that cannot be used; the runner exits with status 2.
class UsageError : public std::runtime_error {
 public:
  explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

CommandLine ParseCommandLine(const std::vector<std::string>& words);

const char* UsageText();

}  // namespace vorlith::runner
