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
  std::string input;   // a video file, or "-" for standard input
  std::string output;  // empty: analyse only; "-": standard output
  std::string stats;   // --stats: FILE.csv and FILE.json; "-": the JSON on standard output
  std::string plot;    // --plot: an SVG picture of the run; "-": standard output
  std::string plugin;  // empty: the plugin beside the executable
  std::string function = "Vorlith";
  std::optional<long> cpu_flags;    // pretend the processor has these CPUF_* flags
  std::optional<int> stream_index;  // the video stream to read; the best one when empty
  bool to_yv12 = false;             // convert other pixel formats to 8-bit 4:2:0
  bool quiet = false;
  bool verbose = false;  // the decoder's warnings as well as its errors
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
