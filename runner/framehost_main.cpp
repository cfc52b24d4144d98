// framehost: runs a filter plugin over a video, frame by frame in order, and
// writes what it returns. Exit status 0 on success, 1 for an
// error in the input, the output, the plugin or the script call, 2 for a
// usage error, 128 + the signal's number when a signal stopped the run. An
// error is one line on standard error; a usage error adds a second line
// that points to --help.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <initializer_list>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "analysis.h"
#include "cadence_segments.h"
#include "command_line.h"
#include "debug_channel_listener.h"
#include "environment.h"
#include "frame_planes.h"
#include "input_stream.h"
#include "interruption.h"
#include "plugin_library.h"
#include "plugin_location.h"
#include "run_stats.h"
#include "script_arguments.h"
#include "script_error.h"
#include "stop_request.h"
#include "stream_files.h"
#include "stream_source_clip.h"
#include "svg_plot.h"
#include "system_error_text.h"
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

// Where an output goes: standard output, or a file that takes the place of
// any file of that name only once the whole run has succeeded.
class Output {
 public:
  // `what` names what goes there, for the message when standard output was
  // closed: writing into the null device put there at start would be a
  // success that wrote nothing.
  Output(const std::string& path, bool stdout_was_closed, const std::string& what) {
    if (path == "-") {
      if (stdout_was_closed) throw RunError("stdout: is closed; nowhere to write " + what);
      return;
    }
    file_.emplace(path);
    if (!file_->temporary_path().empty()) {
      removal_slot_ = RemoveOnSecondStop(file_->temporary_path().c_str());
    }
  }
  ~Output() { KeepOnSecondStop(removal_slot_); }
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  int fd() const { return file_ ? file_->fd() : STDOUT_FILENO; }
  // The whole text, written out; a failure names `name`.
  void Write(const std::string& name, const std::string& text) const {
    if (!platform::WriteAll(fd(), text.data(), text.size())) {
      throw RunError(name +
                     ": write failed: " + platform::SystemErrorText(platform::LastSystemError()));
    }
  }
  void Commit() {
    if (file_) file_->Commit();
  }

 private:
  std::optional<platform::OutputFile> file_;
  int removal_slot_ = -1;
};

// The files of --stats FILE: FILE.csv and FILE.json, where FILE may be
// given with either extension, as a batch writes --stats {.}.json.
struct StatsFiles {
  std::string csv;
  std::string json;
};

StatsFiles StatsFilesFor(const std::string& file) {
  if (file == "-") return {"", "-"};
  std::string base = file;
  for (const char* extension : {".json", ".csv"}) {
    const std::size_t length = std::strlen(extension);
    if (base.size() > length && base.compare(base.size() - length, length, extension) == 0) {
      base.resize(base.size() - length);
      break;
    }
  }
  return {base + ".csv", base + ".json"};
}

// The th the user gave, which is what the plugin reports against.
std::optional<int> GivenThreshold(const std::vector<host::Argument>& named) {
  for (const host::Argument& argument : named) {
    if (host::SameName(argument.name, "th") && argument.value.IsInt()) {
      return argument.value.AsInt(0);
    }
  }
  return std::nullopt;
}

// What a decoder that went on past damage has to say, or "".
std::string DescribeDamage(const media::FrameStream::Damage& damage) {
  std::string text;
  const auto add = [&](std::int64_t count, const char* one, const char* many) {
    if (count == 0) return;
    text += text.empty() ? "" : ", ";
    text += std::to_string(count) + (count == 1 ? one : many);
  };
  add(damage.frames_lost, " frame lost to decoding errors", " frames lost to decoding errors");
  add(damage.frames_damaged, " frame decoded with errors", " frames decoded with errors");
  add(damage.file_errors, " error in the file", " errors in the file");
  return text;
}

int Run(const CommandLine& line, const platform::ClosedStandardStreams& closed) {
  const std::string input_name = line.input == "-" ? "stdin" : line.input;
  const int input_fd = OpenInput(line.input);
  const std::string output_name = line.output == "-" ? "stdout" : line.output;
  const StatsFiles stats_files = StatsFilesFor(line.stats);
  std::vector<std::string> outputs;
  for (const std::string* file : {&line.output, &stats_files.csv, &stats_files.json, &line.plot}) {
    if (file->empty() || *file == "-") continue;
    // Writing over the clip being read would destroy it, by whatever name.
    if (platform::IsSameFile(*file, input_fd)) {
      throw RunError(*file + ": is the input; refusing to write over it");
    }
    if (std::find(outputs.begin(), outputs.end(), *file) != outputs.end()) {
      throw UsageError(*file + " is named for two outputs");
    }
    outputs.push_back(*file);
  }

  // From here on, everything said on standard error passes the listener:
  // the decoder's messages never land on the progress line.
  DebugChannelListener listener(!line.quiet);
  InputOptions input;
  input.stream_index = line.stream_index;
  input.convert_to_yv12 = line.to_yv12;
  input.verbose = line.verbose;
  input.log = [&listener](std::string_view message) { listener.Say(std::string(message)); };

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

  auto* source =
      new media::StreamSourceClip(env, OpenFrameStream(input_fd, input_name, input), input_name);
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
    output.emplace(line.output, closed.output, "the frames");
    writer.emplace(output->fd(), output_name, source->header());
  }
  // Made now, so that an output that cannot be made stops the run before
  // any work is done.
  std::optional<Output> stats_csv, stats_json, plot;
  if (!stats_files.csv.empty()) stats_csv.emplace(stats_files.csv, closed.output, "the stats");
  if (!stats_files.json.empty()) stats_json.emplace(stats_files.json, closed.output, "the stats");
  if (!line.plot.empty()) plot.emplace(line.plot, closed.output, "the plot");

  const int total = source->GetVideoInfo().num_frames;
  int n = 0;
  std::exception_ptr failure;
  try {
    // The stream says where it ends; a filter may take any frames it likes.
    for (; platform::StopRequested() == 0 && source->HasFrame(n); ++n) {
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
  RunStats stats;
  stats.tally = listener.Finish();
  const ReportTally& tally = stats.tally;

  // A stop may also end a read that waited for input with an error: it is
  // the stop that counts. Whatever was written stays unfinished, and the
  // output keeps what it had.
  if (const int signal = platform::StopRequested()) {
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
  const media::FrameStream& stream = source->stream();
  stats.input = input_name;
  stats.frames = n;
  stats.blocks_per_frame =
      ScanGridOf(source->GetVideoInfo().width, source->GetVideoInfo().height).blocks;
  stats.threshold = GivenThreshold(named);
  stats.segments =
      FindCadenceSegments(tally.reports, stats.frames, stats.threshold, stats.blocks_per_frame);
  if (!line.quiet) {
    std::string summary = std::to_string(n) + " frames processed, " + tally.Describe();
    if (stream.rate_varied()) {
      const media::Y4mRatio rate = *stream.header().frame_rate;
      summary += "; the frame rate varied, taken as its average " + std::to_string(rate.numerator) +
                 ":" + std::to_string(rate.denominator);
    }
    std::fprintf(stderr, "framehost: %s: %s\n", input_name.c_str(), summary.c_str());
    for (const CadenceSegment& segment : stats.segments) {
      std::fprintf(stderr, "  %s\n", DescribeSegment(segment).c_str());
    }
  }
  // A damaged file's analysis must not pass for a clean one's, nor its
  // frames for the whole clip.
  if (const media::FrameStream::Damage damage = stream.damage(); damage.any()) {
    const bool wrote = output || stats_csv || stats_json || plot;
    throw RunError(input_name + ": " + DescribeDamage(damage) + "; the analysis is incomplete" +
                   (wrote ? ", and no output was written" : ""));
  }
  const auto write = [](std::optional<Output>& to, const std::string& name, auto writer) {
    if (!to) return;
    std::ostringstream text;
    writer(text);
    to->Write(name == "-" ? "stdout" : name, text.str());
  };
  write(stats_csv, stats_files.csv, [&](std::ostream& out) { WriteStatsCsv(out, stats); });
  write(stats_json, stats_files.json, [&](std::ostream& out) { WriteStatsJson(out, stats); });
  write(plot, line.plot, [&](std::ostream& out) { WriteSvgPlot(out, stats); });
  for (std::optional<Output>* done : {&output, &stats_csv, &stats_json, &plot}) {
    if (*done) (*done)->Commit();
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
