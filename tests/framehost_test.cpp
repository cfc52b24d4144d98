// framehost end to end, through the built programs: the example clip, output
// that equals the input when nothing combs, standard input and output,
// malformed input and usage errors.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framehost_fixture.h"
#include "run_process.h"

namespace vorlith::testing {
namespace {

TEST_F(Framehost, ExampleClipReportsAndMarksTwoAdjacentCyclePositions) {
  const std::string clip = ExampleClip(30);
  const ProcessResult run = Framehost_({clip, "show=true", "-o", Path("marked.y4m")});
  ASSERT_EQ(run.exit_status, 0) << run.err;

  std::vector<int> reported;
  const std::vector<std::string> lines = Lines(run.err);
  ASSERT_FALSE(lines.empty());
  ASSERT_GE(lines.size(), 2u);
  for (std::size_t i = 0; i + 2 < lines.size(); ++i) {
    int position = 0, frame = 0, blocks = 0;
    ASSERT_EQ(
        std::sscanf(lines[i].c_str(), "\r%d frame=%d --- Blocks=%d", &position, &frame, &blocks), 3)
        << lines[i];
    EXPECT_EQ(position, frame % 5);
    EXPECT_TRUE(position == 2 || position == 3) << lines[i];
    EXPECT_GT(blocks, 80);
    reported.push_back(frame);
  }
  // The summary, and the one segment it finds.
  EXPECT_EQ(lines[lines.size() - 2], "framehost: " + clip +
                                         ": 30 frames processed, 12 reported (by cycle position "
                                         "0:0 1:0 2:6 3:6 4:0)");
  EXPECT_EQ(lines.back(), "  frames 0-29: telecine, woven at cycle positions 2 and 3");

  // Exactly the reported frames are marked; the rest pass unchanged.
  const SplitStream in = Split(ReadFile(clip));
  const SplitStream out = Split(ReadFile(Path("marked.y4m")));
  EXPECT_EQ(out.header, in.header);
  ASSERT_EQ(out.frames.size(), in.frames.size());
  std::vector<int> changed;
  for (std::size_t f = 0; f < in.frames.size(); ++f) {
    if (out.frames[f] != in.frames[f]) changed.push_back(static_cast<int>(f));
  }
  EXPECT_EQ(changed, reported);
}

TEST_F(Framehost, OutputEqualsInputWhenNothingCombs) {
  const std::string clip = Path("progressive.y4m");
  // An unknown rate and a tag of some other writer pass through as they are.
  std::string stream = ProgressiveStream(101, 67, 7);
  stream.replace(stream.find("F25:1"), 5, "F0:0 Q7");
  WriteFile(clip, stream);
  const ProcessResult run = Framehost_({clip, "show=TRUE", "th=-1", "-o", Path("out.y4m")});
  ASSERT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(ReadFile(Path("out.y4m")), ReadFile(clip));
  // th=-1 reports every frame, each with no combed block.
  EXPECT_EQ(Lines(run.err).front(), "\r0 frame=0 --- Blocks=0");
}

TEST_F(Framehost, ReadsStandardInputAndWritesStandardOutput) {
  const std::string clip = ExampleClip(10);
  const ProcessResult to_file = Framehost_({"--quiet", clip, "show=true", "-o", Path("a.y4m")});
  const ProcessResult piped = Framehost_({"--quiet", "-", "show=true", "-o", "-"}, clip);
  ASSERT_EQ(piped.exit_status, 0) << piped.err;
  EXPECT_EQ(piped.out, ReadFile(Path("a.y4m")));
  // --quiet leaves only the report lines.
  EXPECT_EQ(piped.err, to_file.err);
  EXPECT_EQ(Lines(piped.err).size(), 4u);
}

// The frames before the fault are analysed, but a clip with a piece missing
// is no output to keep.
TEST_F(Framehost, ATruncatedLastFrameIsAnalysedUpToTheFaultAndWritesNothing) {
  const std::string clip = ExampleClip(3);
  const std::string bytes = ReadFile(clip);
  WriteFile(Path("cut.y4m"), bytes.substr(0, bytes.size() - 1000));
  const ProcessResult run = Framehost_({Path("cut.y4m"), "th=-1", "-o", Path("out.y4m")});
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(Lines(run.err),
            (std::vector<std::string>{
                "\r0 frame=0 --- Blocks=0", "\r1 frame=1 --- Blocks=0",
                "framehost: " + Path("cut.y4m") +
                    ": frame 2 (counting from 0) is truncated: 1000 of its 518400 bytes are "
                    "missing"}));
  EXPECT_EQ(DirectoryNames(), (std::vector<std::string>{"cut.y4m", "example.y4m"}));
}

struct FailureCase {
  const char* name;
  std::string input;  // the clip's bytes
  std::vector<std::string> args;
  int status;
  std::string message;  // found in standard error
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class FramehostFailures : public Framehost, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FramehostFailures, ExitWithOneLineNamingTheProblem) {
  const FailureCase& c = GetParam();
  const std::string clip = Path("in.y4m");
  WriteFile(clip, c.input);
  std::vector<std::string> args{clip};
  args.insert(args.end(), c.args.begin(), c.args.end());
  const ProcessResult run = Framehost_(args);
  EXPECT_EQ(run.signal, 0);
  EXPECT_EQ(run.exit_status, c.status);
  EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  if (c.status == 1) {
    EXPECT_EQ(Lines(run.err).size(), 1u) << run.err;
    // The file at fault: the clip, unless the message names the plugin.
    if (c.message.find("plugin") == std::string::npos) {
      EXPECT_NE(run.err.find(clip), std::string::npos) << run.err;
    }
  }
}

const std::string kGood = ProgressiveStream(16, 16, 1);

INSTANTIATE_TEST_SUITE_P(
    Table, FramehostFailures,
    ::testing::Values(
        FailureCase{"empty", "", {}, 1, "empty"},
        FailureCase{"not_y4m", "GIF89a\x01\x00\x01\x00\n", {}, 1, "YUV4MPEG2"},
        FailureCase{
            "header_without_end", "YUV4MPEG2 W16 H16", {}, 1, "ends inside its header line"},
        FailureCase{"header_too_long",
                    "YUV4MPEG2 W16 H16 X" + std::string(5000, 'a') + "\n",
                    {},
                    1,
                    "4096"},
        FailureCase{"missing_width", "YUV4MPEG2 H16\n", {}, 1, "W"},
        FailureCase{"zero_height", "YUV4MPEG2 W16 H0\n", {}, 1, "H0"},
        FailureCase{"negative_width", "YUV4MPEG2 W-16 H16\n", {}, 1, "W-16"},
        FailureCase{"overflowing_width", "YUV4MPEG2 W99999999999999999999 H16\n", {}, 1, "width"},
        FailureCase{"too_large", "YUV4MPEG2 W16385 H16\n", {}, 1, "16384"},
        FailureCase{"bad_rate", "YUV4MPEG2 W16 H16 F25:0\n", {}, 1, "F25:0"},
        FailureCase{"bad_aspect", "YUV4MPEG2 W16 H16 Aone\n", {}, 1, "Aone"},
        FailureCase{"bad_interlacing", "YUV4MPEG2 W16 H16 Iq\n", {}, 1, "Iq"},
        FailureCase{"not_420", "YUV4MPEG2 W16 H16 C444\n", {}, 1, "C444"},
        FailureCase{
            "bad_frame_line", kGood.substr(0, kGood.find('\n') + 1) + "FRAMX\n", {}, 1, "frame 0"},
        FailureCase{"processor_without_integer_sse",
                    kGood,
                    {"--cpu-flags", "0"},
                    1,
                    "Vorlith: requires SSE"},
        FailureCase{"missing_plugin",
                    kGood,
                    {"--plugin", "/nonexistent/plugin.so"},
                    1,
                    "/nonexistent/plugin.so"},
        FailureCase{"unknown_argument",
                    kGood,
                    {"threshold=3"},
                    2,
                    "unknown argument threshold; Vorlith takes th=int, show=bool"},
        FailureCase{"wrong_type", kGood, {"show=1"}, 2, "show=1 is not a valid bool"},
        FailureCase{"unknown_function",
                    kGood,
                    {"--function", "Weave"},
                    2,
                    "registers no function named Weave"},
        FailureCase{"unknown_option", kGood, {"--fast"}, 2, "unknown option --fast"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

// With ffmpeg on the machine (CI installs it): a clip that ffmpeg's telecine
// filter made shows its 3:2 cadence, read from a pipe, and ffmpeg reads back
// what framehost writes.
TEST_F(Framehost, WorksInAPipeWithFfmpeg) {
  if (RunProcess({"/bin/sh", "-c", "command -v ffmpeg && command -v ffprobe"}).exit_status != 0) {
    GTEST_SKIP() << "ffmpeg is not installed";
  }
  const std::string pipeline =
      "ffmpeg -v error -f lavfi -i testsrc2=size=720x480:rate=24000/1001 "
      "-vf telecine=first_field=top:pattern=23 -frames:v 50 -f yuv4mpegpipe - | " +
      std::string(FRAMEHOST_PATH) +
      " - th=150 show=true -o - | ffprobe -v error -count_frames -select_streams v:0 "
      "-show_entries stream=width,height,nb_read_frames -of csv=p=0 -";
  const ProcessResult run = RunProcess({"/bin/sh", "-c", pipeline});
  ASSERT_EQ(run.exit_status, 0) << run.err;
  EXPECT_EQ(run.out, "720,480,50\n");
  // Telecined frames comb by some 300 to 400 blocks, whole film frames by
  // under 100 (testsrc2's fine horizontal lines).
  const std::vector<std::string> lines = Lines(run.err);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2],
            "framehost: stdin: 50 frames processed, 20 reported (by cycle position 0:0 1:0 2:10 "
            "3:10 4:0)");
  EXPECT_EQ(lines.back(), "  frames 0-49: telecine, woven at cycle positions 2 and 3");
}

TEST_F(Framehost, AMissingInputIsNamed) {
  const ProcessResult run = Framehost_({Path("missing.y4m")});
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(run.err,
            "framehost: " + Path("missing.y4m") + ": cannot open: No such file or directory\n");
}

TEST_F(Framehost, RefusesToWriteOverItsInput) {
  const std::string clip = ExampleClip(2);
  const std::string before = ReadFile(clip);
  const ProcessResult run = Framehost_({clip, "-o", clip});
  EXPECT_EQ(run.exit_status, 1);
  EXPECT_EQ(ReadFile(clip), before);
}

}  // namespace
}  // namespace vorlith::testing
