// framehost on video files, end to end: a file read directly gives the same
// report lines and writes the same bytes as the same file decoded to y4m by
// the ffmpeg program; damaged files are analysed up to the damage and fail;
// files that cannot be read as asked are refused in one line.
#include <gtest/gtest.h>

#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "ffmpeg_clips.h"
#include "file_bytes.h"
#include "run_process.h"

namespace vorlith::testing {
namespace {

// The report lines of standard error, without the summary that names the
// input.
std::string ReportLines(const std::string& err) {
  std::string lines;
  std::istringstream in(err);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind('\r', 0) == 0) lines += line + "\n";
  }
  return lines;
}

ProcessResult Framehost(std::vector<std::string> args) {
  args.insert(args.begin(), FRAMEHOST_PATH);
  return RunProcess(args);
}

struct SameClipCase {
  std::string name;  // the clip's file name
  std::string encoder;
  std::vector<std::string> make;
  bool convert;  // read with --to-yv12, against ffmpeg's -pix_fmt yuv420p
};

void PrintTo(const SameClipCase& c, std::ostream* os) { *os << c.name; }

class FramehostOnAVideoFile : public FfmpegClips,
                              public ::testing::WithParamInterface<SameClipCase> {};

TEST_P(FramehostOnAVideoFile, GivesWhatTheFileDecodedToY4mGives) {
  const SameClipCase& c = GetParam();
  if (const std::string why = MissingEncoder(c.encoder); !why.empty()) GTEST_SKIP() << why;
  const std::string clip = MakeClip(c.name, c.make);
  const std::string decoded =
      DecodeToY4m(clip, c.convert ? std::vector<std::string>{"-pix_fmt", "yuv420p"}
                                  : std::vector<std::string>{});

  // th=0 reports every frame with a combed block, show=true paints them.
  std::vector<std::string> direct = {clip, "th=0", "show=true", "-o", Path("direct.y4m")};
  if (c.convert) direct.push_back("--to-yv12");
  const ProcessResult from_file = Framehost(direct);
  const ProcessResult from_y4m = Framehost({decoded, "th=0", "show=true", "-o", Path("piped.y4m")});
  ASSERT_EQ(from_file.exit_status, 0) << from_file.err;
  ASSERT_EQ(from_y4m.exit_status, 0) << from_y4m.err;
  EXPECT_NE(ReportLines(from_file.err), "");
  EXPECT_EQ(ReportLines(from_file.err), ReportLines(from_y4m.err));
  EXPECT_TRUE(ReadFile(Path("direct.y4m")) == ReadFile(Path("piped.y4m"))) << "the outputs differ";
}

INSTANTIATE_TEST_SUITE_P(
    Clips, FramehostOnAVideoFile,
    ::testing::Values(
        SameClipCase{"h264_interlaced.mkv", "libx264",
                     Args(kTestSource, {"-frames:v", "12", "-pix_fmt", "yuv420p", "-c:v", "libx264",
                                        "-flags", "+ildct+ilme", "-x264opts", "tff=1"}),
                     false},
        SameClipCase{"mpeg2_telecined.mpg", "mpeg2video", kTelecinedMpeg2, false},
        SameClipCase{"mpeg2_telecined.ts", "mpeg2video", kTelecinedMpeg2, false},
        SameClipCase{"ffv1_715x299.mkv",
                     "ffv1",
                     {"-f", "lavfi", "-i", "testsrc2=size=720x300:rate=30", "-vf",
                      "scale=715:299,format=yuv420p", "-frames:v", "4", "-c:v", "ffv1"},
                     false},
        SameClipCase{
            "h264_10bit.mkv", "libx264",
            Args(kTestSource, {"-frames:v", "5", "-pix_fmt", "yuv420p10le", "-c:v", "libx264"}),
            true}),
    [](const ::testing::TestParamInfo<SameClipCase>& info) {
      std::string name = info.param.name;
      for (char& c : name) c = c == '.' ? '_' : c;
      return name;
    });

class FramehostOnADamagedFile : public FfmpegClips {};

// The frames before the damage are analysed; the run names the frame, says
// the analysis is incomplete and fails, and writes no output.
TEST_F(FramehostOnADamagedFile, AnalysesUpToTheDamageAndFails) {
  if (const std::string why = MissingEncoder("libx264"); !why.empty()) GTEST_SKIP() << why;
  const std::string clean = MakeClip("clean.mkv", kInterlacedH264);
  const std::string bytes = ReadFile(clean);
  const std::string cut = Path("cut.mkv");
  WriteFile(cut, bytes.substr(0, bytes.size() / 2));
  std::string scrambled = bytes;
  for (std::size_t i = bytes.size() / 2; i < bytes.size() / 2 + 3000; ++i) {
    scrambled[i] = static_cast<char>(i * 151);
  }
  const std::string corrupted = Path("corrupted.mkv");
  WriteFile(corrupted, scrambled);

  const ProcessResult whole = Framehost({clean, "th=-1"});
  ASSERT_EQ(whole.exit_status, 0) << whole.err;
  for (const std::string& damaged : {cut, corrupted}) {
    const ProcessResult run = Framehost({damaged, "th=-1", "-o", Path("out.y4m")});
    EXPECT_EQ(run.signal, 0) << damaged;
    EXPECT_EQ(run.exit_status, 1) << damaged;
    EXPECT_NE(run.err.find(damaged + ": "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("the analysis is incomplete, and no output was written"),
              std::string::npos)
        << run.err;
    // The first report lines are the clean file's.
    const std::string first_frames = whole.err.substr(0, whole.err.find("\r0 frame=5 "));
    EXPECT_EQ(run.err.substr(0, first_frames.size()), first_frames) << damaged;
    EXPECT_EQ(ReadFile(Path("out.y4m")), "") << damaged;
  }
  const ProcessResult corrupted_run = Framehost({corrupted, "--quiet"});
  EXPECT_NE(corrupted_run.err.find(corrupted + ": frame "), std::string::npos) << corrupted_run.err;
}

class FramehostRefuses : public FfmpegClips {};

TEST_F(FramehostRefuses, WhatItCannotReadAsAsked) {
  if (const std::string why = MissingEncoder("ffv1"); !why.empty()) GTEST_SKIP() << why;
  const UnreadableClips clips = MakeUnreadableClips();
  const std::string& with_audio = clips.yuv422_with_audio;
  const std::string& audio_only = clips.audio_only;
  const std::string& not_media = clips.not_media;
  const struct {
    std::vector<std::string> args;
    std::string message;
  } cases[] = {
      {{with_audio},
       with_audio + ": pixel format yuv422p is not 8-bit 4:2:0 (yuv420p); add --to-yv12 to "
                    "convert it with libswscale"},
      {{with_audio, "--stream", "5"},
       with_audio + ": there is no stream 5: the file has 2 (numbered from 0)"},
      {{audio_only}, audio_only + ": no video stream"},
      {{not_media}, not_media + ": Invalid data found when processing input"},
  };
  for (const auto& c : cases) {
    const ProcessResult run = Framehost(c.args);
    EXPECT_EQ(run.exit_status, 1);
    EXPECT_EQ(run.err, "framehost: " + c.message + "\n");
  }
  const ProcessResult converted = Framehost({with_audio, "--to-yv12", "--quiet"});
  EXPECT_EQ(converted.exit_status, 0) << converted.err;
}

// Standard input may hold a video file as well as y4m.
TEST_F(FramehostRefuses, NothingOnStandardInputEither) {
  if (const std::string why = MissingEncoder("mpeg2video"); !why.empty()) GTEST_SKIP() << why;
  const std::string clip = MakeClip("telecined.ts", kTelecinedMpeg2);
  const ProcessResult run = RunProcess({FRAMEHOST_PATH, "-", "th=150"}, "", clip);
  ASSERT_EQ(run.exit_status, 0) << run.err;
  // The woven frames of every cycle, and nothing else.
  EXPECT_NE(run.err.find("framehost: stdin: 15 frames processed, "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(" 0:0 1:0 2:"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(" 4:0)"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("\r2 frame=12 "), std::string::npos) << run.err;
}

}  // namespace
}  // namespace vorlith::testing
