// framehost: runs a filter plugin over a YUV4MPEG2 clip, frame by frame in
// order, and writes what it returns. Exit status 0 on success, 1 for an
// error in the input, the output, the plugin or the script call, 2 for a
// usage error, 128 + the signal's number when a signal stopped the run. An
// error is one line on standard error; a usage error adds a second line
// that points to --help.
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "command_line.h"
#include "debug_channel_listener.h"
#include "environment.h"
#include "frame_planes.h"
#include "interruption.h"
#include "plugin_library.h"
#include "plugin_location.h"
#include "script_arguments.h"
#include "script_error.h"
#include "stream_files.h"
#include "system_error_text.h"
#include "y4m_source_clip.h"
#include "y4m_writer.h"

#if !defined(VORLITH_VERSION)
#error "the build gives framehost its version"
#endif

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
  const int fd = platform::OpenStreamForReading(path);
  if (fd < 0)
    throw RunError(path +
                   ": cannot open: " + platform::SystemErrorText(platform::LastSystemError()));
  return fd;
}

// Where the frames go: standard output, or a file that takes the place of
// any file of that name only once the whole run has succeeded.
class Output {
 public:
  Output(const std::string& path, bool stdout_was_closed) {
    if (path == "-") {
      // Writing frames into the null device put there at start would be a
      // success that wrote nothing.
      if (stdout_was_closed) throw RunError("stdout: is closed; nowhere to write the frames");
      return;
    }
    file_.emplace(path);
    RemoveOnSecondStop(file_->temporary_path().empty() ? nullptr : file_->temporary_path().c_str());
  }
  ~Output() { RemoveOnSecondStop(nullptr); }
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  int fd() const { return file_ ? file_->fd() : STDOUT_FILENO; }
  void Commit() {
    if (file_) file_->Commit();
  }

 private:
  std::optional<platform::OutputFile> file_;
};

int Run(const CommandLine& line, const platform::ClosedStandardStreams& closed) {
  const std::string input_name = line.input == "-" ? "stdin" : line.input;
  const int input_fd = OpenInput(line.input);
  // Writing over the clip being read would destroy it, by whatever name.
  if (!line.output.empty() && line.output != "-" && platform::IsSameFile(line.output, input_fd)) {
    throw RunError(line.output + ": is the input; refusing to write over it");
  }
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

  auto* source = new media::Y4mSourceClip(env, input_fd, input_name);
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

  std::optional<Output> output;
  std::optional<media::Y4mWriter> writer;
  if (!line.output.empty()) {
    const VideoInfo& in = source->GetVideoInfo();
    const VideoInfo& out = result->GetVideoInfo();
    if (out.width != in.width || out.height != in.height || !out.IsYV12()) {
      throw RunError(output_name + ": " + function->name +
                     " returns frames of another format than the input's; cannot write them");
    }
    output.emplace(line.output, closed.output);
    writer.emplace(output->fd(), output_name, source->header());
  }

  const int total = source->GetVideoInfo().num_frames;
  DebugChannelListener listener(!line.quiet);
  int n = 0;
  std::exception_ptr failure;
  try {
    // The stream says where it ends; a filter may take any frames it likes.
    for (; StopRequest() == 0 && source->HasFrame(n); ++n) {
      const PVideoFrame frame = result->GetFrame(n, &env);
      if (!frame) {
        throw RunError(input_name + ": frame " + std::to_string(n) + ": " + function->name +
                       " returned no frame");
      }
      const std::string parameters = source->TakeFrameParameters(n);
      if (writer) writer->WriteFrame(host::ReadablePlanes(*frame.get()).data(), parameters);
      listener.Progress(n + 1, total);
    }
  } catch (...) {
    failure = std::current_exception();
  }
  const ReportTally tally = listener.Finish();

  // A stop may also end a read that waited for input with an error: it is
  // the stop that counts. Whatever was written stays unfinished, and the
  // output keeps what it had.
  if (const int signal = StopRequest()) {
    std::fprintf(stderr, "framehost: %s: interrupted after %d frames", input_name.c_str(), n);
    if (!line.quiet) std::fprintf(stderr, ", %s", tally.Describe().c_str());
    std::fputc('\n', stderr);
    return StatusForSignal(signal);
  }
  if (failure) {
    try {
      std::rethrow_exception(failure);
    } catch (const host::ScriptError& error) {
      throw RunError(input_name + ": frame " + std::to_string(n) + ": " + error.what());
    }
  }
  if (output) output->Commit();
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
  // First of all, before any file is opened.
  const vorlith::platform::ClosedStandardStreams closed =
      vorlith::platform::OpenClosedStandardStreams();
  InstallSignalHandlers();
  try {
    const CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (line.help) {
      std::fputs(UsageText(), stdout);
      return 0;
    }
    if (line.version) {
      std::puts("framehost " VORLITH_VERSION);
      return 0;
    }
    return Run(line, closed);
  } catch (const UsageError& error) {
    std::fprintf(stderr, "framehost: %s\nTry 'framehost --help'.\n", error.what());
    return kUsage;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "framehost: %s\n", error.what());
    return kFailure;
  } catch (...) {
    // A plugin may throw what it likes.
    std::fputs("framehost: the run ended with an error of unknown kind\n", stderr);
    return kFailure;
  }
}
