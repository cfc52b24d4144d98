// framehost: runs a filter plugin over a YUV4MPEG2 clip, frame by frame in
// order, and writes what it returns. Exit status 0 on success, 1 for an
// error in the input, the output, the plugin or the script call, 2 for a
// usage error; every error is one line on standard error.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "command_line.h"
#include "debug_channel_listener.h"
#include "environment.h"
#include "plugin_library.h"
#include "plugin_location.h"
#include "script_arguments.h"
#include "script_error.h"
#include "stream_files.h"
#include "system_error_text.h"
#include "y4m_source_clip.h"
#include "y4m_writer.h"

namespace vorlith::runner {
namespace {

constexpr int kFailure = 1;
constexpr int kUsage = 2;

// An error of the run: the input, the output, the plugin or the call.
class RunError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

int OpenInput(const std::string& path) {
  if (path == "-") return STDIN_FILENO;
  const int fd = host::OpenStreamForReading(path);
  if (fd < 0)
    throw RunError(path + ": cannot open: " + host::SystemErrorText(host::LastSystemError()));
  return fd;
}

int OpenOutput(const std::string& path, int input_fd) {
  if (path == "-") return STDOUT_FILENO;
  // Writing over the clip being read would destroy it.
  if (host::IsSameFile(path, input_fd)) {
    throw RunError(path + ": is the input; refusing to write over it");
  }
  const int fd = host::CreateStreamForWriting(path);
  if (fd < 0)
    throw RunError(path + ": cannot create: " + host::SystemErrorText(host::LastSystemError()));
  return fd;
}

int Run(const CommandLine& line) {
  // A closed output pipe is a write error to report, not a silent death.
  // (Windows has no such signal: the write fails there anyway.)
#if defined(SIGPIPE)
  std::signal(SIGPIPE, SIG_IGN);
#endif

  const std::string input_name = line.input == "-" ? "stdin" : line.input;
  const int input_fd = OpenInput(line.input);
  const int output_fd = line.output.empty() ? -1 : OpenOutput(line.output, input_fd);
  const std::string output_name = line.output == "-" ? "stdout" : line.output;

  const std::unique_ptr<host::Environment> environment =
      line.cpu_flags ? std::make_unique<host::Environment>(*line.cpu_flags)
                     : std::make_unique<host::Environment>();
  host::Environment& env = *environment;
  const std::string plugin = line.plugin.empty() ? DefaultPluginPath() : line.plugin;
  try {
    host::LoadPlugin(env, plugin);
  } catch (const host::PluginLoadError& error) {
    throw RunError(error.what());
  } catch (const host::ScriptError& error) {
    throw RunError(plugin + ": " + error.what());
  }
  const host::RegisteredFunction* function = env.FindFunction(line.function);
  if (function == nullptr) {
    throw UsageError(plugin + " registers no function named " + line.function);
  }
  const std::vector<host::Argument> named =
      TypeScriptArguments(function->name, function->parameters, line.arguments);

  auto* source = new host::Y4mSourceClip(env, input_fd, input_name);
  const PClip source_clip(source);
  std::vector<host::Argument> call{{"", AVSValue(source_clip)}};
  call.insert(call.end(), named.begin(), named.end());
  PClip result;
  try {
    result = env.Invoke(function->name, call).AsClip();
  } catch (const host::ScriptError& error) {
    throw RunError(input_name + ": " + error.what());
  }
  if (!result) throw RunError(input_name + ": " + function->name + " returned no clip");

  std::optional<host::Y4mWriter> writer;
  if (output_fd >= 0) {
    const VideoInfo& in = source->GetVideoInfo();
    const VideoInfo& out = result->GetVideoInfo();
    if (out.width != in.width || out.height != in.height || !out.IsYV12()) {
      throw RunError(output_name + ": " + function->name +
                     " returns frames of another format than the input's; cannot write them");
    }
    writer.emplace(output_fd, output_name, source->header());
  }

  const int total = source->GetVideoInfo().num_frames;
  DebugChannelListener listener(!line.quiet);
  int n = 0;
  try {
    for (; source->HasFrame(n); ++n) {
      const PVideoFrame frame = result->GetFrame(n, &env);
      if (writer)
        writer->WriteFrame(host::FramePlanes(*frame.get()).data(), source->FrameParameters());
      listener.Progress(n + 1, total);
    }
  } catch (const std::exception& error) {
    listener.Finish();
    throw RunError(dynamic_cast<const host::ScriptError*>(&error)
                       ? input_name + ": frame " + std::to_string(n) + ": " + error.what()
                       : error.what());
  }
  const ReportTally tally = listener.Finish();
  if (!line.quiet) {
    std::fprintf(stderr, "framehost: %s: %d frames processed, %s\n", input_name.c_str(), n,
                 tally.Describe().c_str());
  }
  return 0;
}

}  // namespace
}  // namespace vorlith::runner

int main(int argc, char** argv) {
  using namespace vorlith::runner;
  CommandLine line;
  try {
    line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (line.help) {
      std::fputs(UsageText(), stdout);
      return 0;
    }
    return Run(line);
  } catch (const UsageError& error) {
    std::fprintf(stderr, "framehost: %s\nTry 'framehost --help'.\n", error.what());
    return kUsage;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "framehost: %s\n", error.what());
    return kFailure;
  }
}
