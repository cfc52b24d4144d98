// framehost keeps the user's files whole: a file named by -o is replaced only
// by a complete result, whatever stops the run; closed standard streams,
// filters that skip or drop frames, signals, and the terminal's progress line.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "framehost_fixture.h"
#include "run_process.h"

extern char** environ;

namespace vorlith::testing {
namespace {

// `words`, each quoted for sh and led by a space.
std::string Joined(const std::vector<std::string>& words) {
  std::string joined;
  for (const std::string& word : words) {
    joined += " '";
    for (const char c : word) {
      if (c == '\'') {
        joined += "'\\''";
      } else {
        joined += c;
      }
    }
    joined += '\'';
  }
  return joined;
}

constexpr char kPrecious[] = "the user's earlier output\n";
constexpr char kExample[] = "(the example clip)";

struct FailedRunCase {
  const char* name;
  std::string input;  // the clip's bytes, or kExample for the 3-frame example clip
  std::vector<std::string> args;
  std::string before;  // shell commands run before framehost, e.g. a limit
  int status;
  std::string message;
};

void PrintTo(const FailedRunCase& c, std::ostream* os) { *os << c.name; }

class FailedRun : public Framehost, public ::testing::WithParamInterface<FailedRunCase> {};

// Whatever ends the run, the file under the output's name is exactly what it
// was, and no temporary file is left beside it.
TEST_P(FailedRun, LeavesTheOutputAsItWas) {
  const FailedRunCase& c = GetParam();
  if (c.input == kExample) {
    std::filesystem::rename(ExampleClip(3), Path("in.y4m"));
  } else {
    WriteFile(Path("in.y4m"), c.input);
  }
  WriteFile(Path("out.y4m"), kPrecious);
  const ProcessResult run = Shell("cd \"$DIR\" && " + c.before + " exec \"$FRAMEHOST\" in.y4m" +
                                  Joined(c.args) + " -o out.y4m");
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.exit_status, c.status) << run.err;
  EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  EXPECT_EQ(ReadFile(Path("out.y4m")), kPrecious);
  EXPECT_EQ(DirectoryNames(), (std::vector<std::string>{"in.y4m", "out.y4m"}));
}

const std::string kSmall = ProgressiveStream(16, 16, 2);

INSTANTIATE_TEST_SUITE_P(
    Table, FailedRun,
    ::testing::Values(
        FailedRunCase{"bad_argument", kSmall, {"th=abc"}, "", 2, "th=abc is not a valid int"},
        FailedRunCase{
            "missing_plugin", kSmall, {"--plugin", "/nonexistent.so"}, "", 1, "/nonexistent.so"},
        FailedRunCase{"refusal", kSmall, {"--cpu-flags", "0"}, "", 1, "Vorlith: requires SSE"},
        FailedRunCase{"empty_input", "", {}, "", 1, "in.y4m: empty input"},
        FailedRunCase{"malformed_input", "YUV4MPEG2 W16 H0\n", {}, "", 1, "H0"},
        FailedRunCase{"truncated_input",
                      kSmall.substr(0, kSmall.size() - 5),
                      {},
                      "",
                      1,
                      "frame 1 (counting from 0) is truncated"},
        // A frame past the file-size limit: SIGXFSZ would kill the process.
        FailedRunCase{"file_size_limit",
                      kExample,
                      {},
                      "ulimit -f 100 &&",
                      1,
                      "out.y4m: write failed: File too large"},
        FailedRunCase{"filter_returns_no_frame",
                      kSmall,
                      {"--plugin", TEST_FILTERS_PATH, "--function", "Empty", "n=1"},
                      "",
                      1,
                      "in.y4m: frame 1: Empty returned no frame"}),
    [](const ::testing::TestParamInfo<FailedRunCase>& info) { return info.param.name; });

TEST_F(Framehost, ReplacesTheOutputWholeKeepingItsModeAndLinks) {
  const std::string clip = ExampleClip(3);
  WriteFile(Path("real.y4m"), kPrecious);
  ASSERT_EQ(chmod(Path("real.y4m").c_str(), 0640), 0);
  std::filesystem::create_symlink("real.y4m", Path("link.y4m"));

  const ProcessResult run = Framehost_({"--quiet", clip, "-o", Path("link.y4m")});
  ASSERT_EQ(run.exit_status, 0) << run.err;
  EXPECT_TRUE(std::filesystem::is_symlink(Path("link.y4m")));
  EXPECT_EQ(ReadFile(Path("real.y4m")), ReadFile(clip));
  struct stat status {};
  ASSERT_EQ(stat(Path("real.y4m").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  EXPECT_EQ(DirectoryNames(), (std::vector<std::string>{"example.y4m", "link.y4m", "real.y4m"}));

  // A device is written in place, as it cannot be renamed over.
  EXPECT_EQ(Framehost_({"--quiet", clip, "-o", "/dev/null"}).exit_status, 0);
  const ProcessResult full = Framehost_({"--quiet", clip, "-o", "/dev/full"});
  EXPECT_EQ(full.exit_status, 1);
  EXPECT_EQ(full.err, "framehost: /dev/full: write failed: No space left on device\n");
}

TEST_F(Framehost, RefusesAnOutputThatIsTheInputByAnyName) {
  const std::string clip = ExampleClip(2);
  const std::string before = ReadFile(clip);
  std::filesystem::create_symlink(clip, Path("symbolic.y4m"));
  std::filesystem::create_hard_link(clip, Path("hard.y4m"));
  const struct {
    std::vector<std::string> args;
    std::string output;
  } cases[] = {{{clip, "-o", clip}, clip},
               {{clip, "-o", Path("symbolic.y4m")}, Path("symbolic.y4m")},
               {{clip, "-o", Path("hard.y4m")}, Path("hard.y4m")},
               {{"-", "-o", "/dev/stdin"}, "/dev/stdin"}};
  for (const auto& c : cases) {
    const ProcessResult run = Framehost_(c.args, clip);
    EXPECT_EQ(run.exit_status, 1) << c.output;
    EXPECT_EQ(run.err, "framehost: " + c.output + ": is the input; refusing to write over it\n");
    EXPECT_EQ(ReadFile(clip), before) << c.output;
  }
  EXPECT_TRUE(std::filesystem::is_symlink(Path("symbolic.y4m")));
}

// A closed standard error must not become the next file opened: the report
// lines would be written into it.
TEST_F(Framehost, ClosedStandardStreamsAreNeverWrittenInto) {
  const std::string clip = ExampleClip(5);
  const std::string bytes = ReadFile(clip);
  for (const std::string& command :
       {std::string("cat example.y4m | \"$FRAMEHOST\" - th=0 -o piped.y4m 2>&-"),
        std::string("\"$FRAMEHOST\" example.y4m th=0 -o named.y4m 2>&-")}) {
    const ProcessResult run = Shell("cd \"$DIR\" && " + command);
    EXPECT_EQ(run.exit_status, 0) << command;
  }
  EXPECT_EQ(ReadFile(Path("piped.y4m")), bytes);
  EXPECT_EQ(ReadFile(Path("named.y4m")), bytes);

  const ProcessResult closed_output = Shell("\"$FRAMEHOST\" \"$DIR/example.y4m\" -o - >&-");
  EXPECT_EQ(closed_output.exit_status, 1);
  EXPECT_EQ(closed_output.err, "framehost: stdout: is closed; nowhere to write the frames\n");
}

// A filter that repeats frame n - 1 on odd n never asks for frame n; the run
// still covers the whole stream.
TEST_F(Framehost, TheStreamNotTheFilterSaysWhereItEnds) {
  const std::string clip = ExampleClip(8);
  const ProcessResult run = Framehost_(
      {clip, "--plugin", TEST_FILTERS_PATH, "--function", "Repeat", "-o", Path("out.y4m")});
  ASSERT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(run.err, "framehost: " + clip +
                         ": 8 frames processed, 0 reported (by cycle position 0:0 1:0 2:0 3:0 "
                         "4:0)\n  frames 0-7: progressive\n");
  const SplitStream in = Split(ReadFile(clip));
  const SplitStream out = Split(ReadFile(Path("out.y4m")));
  ASSERT_EQ(out.frames.size(), 8u);
  for (std::size_t f = 0; f < 8; ++f) EXPECT_EQ(out.frames[f], in.frames[f - f % 2]) << f;
}

struct StopCase {
  int signal;
  int status;
};

class StoppedRun : public Framehost, public ::testing::WithParamInterface<StopCase> {};

// Stopped while it waits for input that does not come, framehost says how
// far it got, keeps the earlier output and exits with 128 + the signal.
TEST_P(StoppedRun, ReportsWhatWasDoneAndKeepsTheOutput) {
  const std::string bytes = ReadFile(ExampleClip(4));
  const SplitStream split = Split(bytes);
  const std::size_t three_frames = split.header.size() + 3 * split.frames[0].size();
  WriteFile(Path("out.y4m"), kPrecious);
  const std::string signal = std::to_string(GetParam().signal);
  const ProcessResult run = Shell(
      "cd \"$DIR\" && mkfifo stalled || exit 1\n"
      // Three frames, then the pipe stays open with nothing more in it.
      "(head -c " +
      std::to_string(three_frames) +
      " example.y4m; exec sleep 60) >stalled 2>/dev/null & feeder=$!\n"
      "\"$FRAMEHOST\" stalled th=-1 -o out.y4m 2>err & framehost=$!\n"
      "i=0; while n=$(grep -c frame= err 2>/dev/null); [ \"${n:-0}\" -lt 3 ] && [ $i -lt 400 ]; "
      "do sleep 0.05; i=$((i+1)); done\n"
      "kill -" +
      signal +
      " $framehost; wait $framehost; status=$?\n"
      "kill $feeder; rm stalled; cat err >&2; exit $status");
  EXPECT_EQ(run.exit_status, GetParam().status) << run.err;
  EXPECT_EQ(Lines(run.err).back(),
            "framehost: stalled: interrupted after 3 frames, 3 reported (by cycle position 0:1 "
            "1:1 2:1 3:0 4:0)");
  EXPECT_EQ(ReadFile(Path("out.y4m")), kPrecious);
  EXPECT_EQ(DirectoryNames(), (std::vector<std::string>{"err", "example.y4m", "out.y4m"}));
}

INSTANTIATE_TEST_SUITE_P(Signals, StoppedRun,
                         ::testing::Values(StopCase{SIGINT, 130}, StopCase{SIGTERM, 143}));

// Runs framehost with its standard error on a terminal and returns what the
// terminal received. Its standard input is fed `pieces` a few milliseconds
// apart, so that the lines framehost passes on while it waits are drawn
// before the run ends, however busy the machine.
std::string RunOnTerminal(const std::vector<std::string>& args,
                          const std::vector<std::string>& pieces) {
  const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
  int input[2];
  if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0 || pipe(input) != 0) {
    return "";
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, ptsname(terminal), O_RDWR, 0);
  for (const int fd : {terminal, input[0], input[1]}) {
    posix_spawn_file_actions_addclose(&actions, fd);
  }
  std::vector<std::string> words{FRAMEHOST_PATH};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  const int spawned = posix_spawn(&child, FRAMEHOST_PATH, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(input[0]);
  std::string received;
  if (spawned == 0) {
    std::thread feeder([&] {
      for (const std::string& piece : pieces) {
        if (write(input[1], piece.data(), piece.size()) != static_cast<ssize_t>(piece.size())) {
          break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(3));
      }
      close(input[1]);
    });
    char chunk[4096];
    // The terminal reports an error once the last program on it has gone.
    for (ssize_t got; (got = read(terminal, chunk, sizeof chunk)) != 0;) {
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) break;
      received.append(chunk, static_cast<std::size_t>(got));
    }
    feeder.join();
    waitpid(child, nullptr, 0);
  } else {
    close(input[1]);
  }
  close(terminal);
  return received;
}

// The screen a terminal shows after `bytes`: carriage returns, line feeds and
// the erasing of a line's end are followed, as the progress line uses them.
std::vector<std::string> Screen(const std::string& bytes) {
  std::vector<std::string> lines(1);
  std::size_t column = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::string& line = lines.back();
    if (bytes.compare(i, 3, "\033[K") == 0) {
      line.erase(column);
      i += 2;
    } else if (bytes[i] == '\r') {
      column = 0;
    } else if (bytes[i] == '\n') {
      lines.emplace_back();
      column = 0;
    } else {
      if (column < line.size()) {
        line[column] = bytes[i];
      } else {
        line += bytes[i];
      }
      ++column;
    }
  }
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

TEST_F(Framehost, TheProgressLineShowsTheFramesDoneAndGoesAtTheEnd) {
  const SplitStream stream = Split(ProgressiveStream(16, 16, 100));
  std::vector<std::string> pieces{stream.header};
  pieces.insert(pieces.end(), stream.frames.begin(), stream.frames.end());
  const std::string received = RunOnTerminal({"-", "th=-1"}, pieces);
  ASSERT_FALSE(received.empty()) << "no terminal";

  // Redrawn below each report line that passes while frames are still read,
  // it shows at least the frames before the reported one, never a count
  // from earlier.
  int redraws = 0;
  for (std::size_t at = 0; (at = received.find(" frame=", at)) != std::string::npos; ++at) {
    const int frame = std::atoi(received.c_str() + at + 7);
    std::size_t next = received.find('\n', at);
    if (next == std::string::npos) break;
    if (received.compare(next + 1, 7, "frames ") != 0) continue;
    ++redraws;
    EXPECT_GE(std::atoi(received.c_str() + next + 8), frame) << received.substr(at, 40);
  }
  EXPECT_GT(redraws, 50);

  // Nothing of it stays on the screen: the report lines, then the summary
  // and its one segment.
  const std::vector<std::string> screen = Screen(received);
  ASSERT_EQ(screen.size(), 102u);
  for (int f = 0; f < 100; ++f) {
    EXPECT_EQ(screen[f], std::to_string(f % 5) + " frame=" + std::to_string(f) + " --- Blocks=0");
  }
  EXPECT_EQ(screen[100].rfind("framehost: stdin: 100 frames processed", 0), 0u) << screen[100];
  EXPECT_EQ(screen.back(), "  frames 0-99: progressive");
}

// A plugin named without a directory is in the current directory, as on
// Windows, not somewhere on the system's library path.
TEST_F(Framehost, APluginNamedWithoutADirectoryIsInTheCurrentOne) {
  WriteFile(Path("in.y4m"), ProgressiveStream(16, 16, 1));
  const ProcessResult run = Shell(
      "cd \"$DIR\" && cp \"$PLUGIN_DIR/libVorlithSSE.so\" here.so && "
      "exec \"$FRAMEHOST\" --quiet --plugin here.so in.y4m");
  EXPECT_EQ(run.exit_status, 0) << run.err;
}

TEST_F(Framehost, SaysItsVersion) {
  const ProcessResult run = Framehost_({"--version"});
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_EQ(run.out, std::string("framehost ") + VORLITH_VERSION + "\n");
}

}  // namespace
}  // namespace vorlith::testing
