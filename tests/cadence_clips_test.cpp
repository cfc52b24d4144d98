// The cadence segments of real video: clips made with ffmpeg's lavfi
// sources and joined end to end, run through framehost as it is, whose
// report lines are then read as framehost's own listener reads them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "analysis.h"
#include "cadence_segments.h"
#include "lavfi_clips.h"
#include "report_tally.h"
#include "run_process.h"
#include "run_stats.h"

namespace vorlith::runner {

void PrintTo(const CadenceSegment& s, std::ostream* os) { *os << DescribeSegment(s); }

}  // namespace vorlith::runner

namespace vorlith::testing {
namespace {

using runner::CadenceSegment;
constexpr auto kTelecine = runner::CadenceKind::kTelecine;
constexpr auto kInterlaced = runner::CadenceKind::kInterlaced;
constexpr auto kProgressive = runner::CadenceKind::kProgressive;

struct ClipCase {
  const char* name;
  std::string command;  // writes the clip to standard output
  int width, height, frames;
  std::optional<int> th;  // given to framehost, or its default left alone
  std::vector<CadenceSegment> expected;
};

void PrintTo(const ClipCase& c, std::ostream* os) { *os << c.name; }

// testsrc2 telecined for 40 frames; the same from its 42nd telecined frame,
// so that the woven pair moves from positions 2 and 3 to 0 and 1 at frame
// 40; field-interleaved mandelbrot from frame 78; progressive testsrc2 from
// frame 108. Each join's first frame already breaks the earlier pattern.
const std::string kJoined480 = JoinedClipCommand({{Weave::kTelecine, "testsrc2", 40, 0},
                                                  {Weave::kTelecine, "testsrc2", 38, 42},
                                                  {Weave::kInterlaced, "mandelbrot", 30},
                                                  {Weave::kProgressive, "testsrc2", 30}},
                                                 "720x480");
const std::vector<CadenceSegment> kJoined480Segments = {{0, 39, kTelecine, 2},
                                                        {40, 77, kTelecine, 0},
                                                        {78, 107, kInterlaced, 0},
                                                        {108, 137, kProgressive, 0}};

// mandelbrot telecined, a frame dropped after every 15th (edits after frames
// 14, 29, 44, 59 and 74). Where an edit's first frame is clean in both
// phases, the boundary is the first frame the new phase weaves (16, 77) or
// leaves clean (46).
const std::string kEdited480 = EditedTelecineCommand("mandelbrot", "720x480", 15, 90);
const std::vector<CadenceSegment> kEdited480Segments = {
    {0, 15, kTelecine, 2},  {16, 29, kTelecine, 1}, {30, 45, kTelecine, 0},
    {46, 59, kTelecine, 4}, {60, 76, kTelecine, 3}, {77, 89, kTelecine, 2}};

// At 1920x1080: testsrc2 telecined, then from its 26th telecined frame
// (woven at 4 and 0 from frame 23), field-interleaved, progressive.
const std::string kJoined1080 = JoinedClipCommand({{Weave::kTelecine, "testsrc2", 23, 0},
                                                   {Weave::kTelecine, "testsrc2", 24, 26},
                                                   {Weave::kInterlaced, "testsrc2", 20},
                                                   {Weave::kProgressive, "testsrc2", 20}},
                                                  "1920x1080");
const std::vector<CadenceSegment> kJoined1080Segments = {{0, 22, kTelecine, 2},
                                                         {23, 46, kTelecine, 4},
                                                         {47, 66, kInterlaced, 0},
                                                         {67, 86, kProgressive, 0}};

class CadenceClips : public ::testing::TestWithParam<ClipCase> {
 protected:
  void SetUp() override {
    const std::string missing = MissingFfmpegFeature();
    if (!missing.empty()) GTEST_SKIP() << missing << " is not available";
    char pattern[] = "/tmp/cadence_clips_test.XXXXXX";
    dir_ = mkdtemp(pattern);
  }
  void TearDown() override {
    if (!dir_.empty()) std::filesystem::remove_all(dir_);
  }

  std::string dir_;
};

TEST_P(CadenceClips, SegmentsFallWhereTheClipWasJoined) {
  const ClipCase& c = GetParam();
  const std::string ffmpeg_errors = dir_ + "/ffmpeg.err";
  std::ostringstream pipeline;
  pipeline << c.command << " 2>" << ffmpeg_errors << " | " << FRAMEHOST_PATH << " - --quiet";
  if (c.th) pipeline << " th=" << *c.th;
  const ProcessResult run = RunProcess({"/bin/sh", "-c", pipeline.str()});
  std::ifstream errors(ffmpeg_errors);
  const std::string ffmpeg_said((std::istreambuf_iterator<char>(errors)),
                                std::istreambuf_iterator<char>());
  ASSERT_EQ(run.exit_status, 0) << run.err << ffmpeg_said;
  EXPECT_EQ(ffmpeg_said, "");

  // Only report lines are left with --quiet; each ends in a line feed.
  runner::ReportTally tally;
  std::istringstream lines(run.err);
  for (std::string line; std::getline(lines, line);) tally.Count(line);
  EXPECT_EQ(tally.reported, static_cast<std::int64_t>(tally.reports.size()));
  if (c.th == -1) {
    ASSERT_EQ(tally.reported, c.frames) << "every frame is reported at th=-1";
  }

  EXPECT_EQ(runner::FindCadenceSegments(tally.reports, c.frames, c.th,
                                        ScanGridOf(c.width, c.height).blocks),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Clips, CadenceClips,
    ::testing::Values(
        ClipCase{"joined_480_every_frame", kJoined480, 720, 480, 138, -1, kJoined480Segments},
        ClipCase{"joined_480_default_th", kJoined480, 720, 480, 138, std::nullopt,
                 kJoined480Segments},
        ClipCase{"edits_480_every_frame", kEdited480, 720, 480, 90, -1, kEdited480Segments},
        ClipCase{"edits_480_th_150", kEdited480, 720, 480, 90, 150, kEdited480Segments},
        ClipCase{"joined_1080_default_th", kJoined1080, 1920, 1080, 87, std::nullopt,
                 kJoined1080Segments},
        ClipCase{"joined_1080_th_500", kJoined1080, 1920, 1080, 87, 500, kJoined1080Segments}),
    [](const ::testing::TestParamInfo<ClipCase>& info) { return info.param.name; });

}  // namespace
}  // namespace vorlith::testing
