// Writes the example clip, a moving scene telecined with 3:2 pulldown, as a
// YUV4MPEG2 file or to standard output.
//
//   make_pulldown_clip [--size=WxH] [--frames=N] OUTPUT
//
// OUTPUT is a file path, or - for standard output. The defaults are 720x480
// and 150 frames.
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "pulldown_clip.h"
#include "stream_files.h"
#include "system_error_text.h"
#include "y4m_error.h"

namespace {

constexpr const char* kUsage = "usage: make_pulldown_clip [--size=WxH] [--frames=N] OUTPUT|-\n";

struct Arguments {
  vorlith::examples::PulldownClipOptions options;
  std::string output;
};

// A whole non-negative number, nothing before or after it.
template <class Int>
bool ParseWhole(std::string_view text, Int* value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc() && end == text.data() + text.size() && *value >= 0;
}

bool ParseSize(std::string_view text, vorlith::examples::PulldownClipOptions* options) {
  const std::size_t x = text.find('x');
  return x != std::string_view::npos && ParseWhole(text.substr(0, x), &options->width) &&
         ParseWhole(text.substr(x + 1), &options->height);
}

std::optional<Arguments> ParseArguments(int argc, char** argv) {
  Arguments arguments;
  bool have_output = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (argument.starts_with("--size=")) {
      if (!ParseSize(argument.substr(7), &arguments.options)) return std::nullopt;
    } else if (argument.starts_with("--frames=")) {
      if (!ParseWhole(argument.substr(9), &arguments.options.frames)) return std::nullopt;
    } else if (have_output || (argument.starts_with("-") && argument != "-")) {
      return std::nullopt;
    } else {
      arguments.output = argument;
      have_output = true;
    }
  }
  if (!have_output) return std::nullopt;
  return arguments;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Arguments> arguments = ParseArguments(argc, argv);
  if (!arguments) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  const bool to_stdout = arguments->output == "-";
  const std::string output_name = to_stdout ? "stdout" : arguments->output;
  const int fd =
      to_stdout ? STDOUT_FILENO : vorlith::platform::CreateStreamForWriting(arguments->output);
  if (fd < 0) {
    std::fprintf(stderr, "make_pulldown_clip: %s: cannot open: %s\n", output_name.c_str(),
                 vorlith::platform::SystemErrorText(vorlith::platform::LastSystemError()).c_str());
    return 1;
  }
  // Only a regular file is ours to remove, never a device or a pipe that
  // was named as the output.
  struct stat output;
  const bool remove_on_failure = !to_stdout && fstat(fd, &output) == 0 && S_ISREG(output.st_mode);
  try {
    vorlith::examples::WritePulldownClip(fd, output_name, arguments->options);
    if (!to_stdout && close(fd) != 0) {
      throw vorlith::media::Y4mError(output_name,
                                     "close failed: " + vorlith::platform::SystemErrorText(
                                                            vorlith::platform::LastSystemError()));
    }
  } catch (const vorlith::media::Y4mError& e) {
    std::fprintf(stderr, "make_pulldown_clip: %s\n", e.what());
    // A clip cut short must not pass for a whole one.
    // Windows removes no file that is still open; after a failed close the
    // second one does nothing.
    if (remove_on_failure) {
      close(fd);
      unlink(arguments->output.c_str());
    }
    return 1;
  }
  return 0;
}
