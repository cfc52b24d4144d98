// The cadence segments of real video: clips made with ffmpeg's lavfi
// sources and joined end to end, run through framehost with --stats and
// --plot: the segments in its summary and its stats file fall where the
// clips were joined, the CSV holds the report lines, and the plot renders.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
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

// The segments of a stats file's JSON, read back.
std::vector<CadenceSegment> JsonSegments(const std::string& json) {
  std::vector<CadenceSegment> segments;
  const std::size_t list = json.find("\"segments\": [");
  if (list == std::string::npos) return segments;
  for (std::size_t at = json.find("{\"first\"", list); at != std::string::npos;
       at = json.find("{\"first\"", at + 1)) {
    long long first = 0, last = 0;
    char kind[16] = {};
    int position = 0, next = 0;
    const int read = std::sscanf(json.c_str() + at,
                                 "{\"first\": %lld, \"last\": %lld, \"kind\": \"%15[a-z]\", "
                                 "\"positions\": [%d, %d]",
                                 &first, &last, kind, &position, &next);
    if (read < 3) break;
    CadenceSegment segment{first, last, runner::CadenceKind::kMixed, 0};
    for (const auto candidate : {kTelecine, kInterlaced, kProgressive}) {
      if (runner::CadenceKindName(candidate) == kind) segment.kind = candidate;
    }
    if (read == 5) {
      EXPECT_EQ(next, (position + 1) % 5);
      segment.woven_position = position;
    }
    segments.push_back(segment);
  }
  return segments;
}

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST_P(CadenceClips, SegmentsFallWhereTheClipWasJoined) {
  const ClipCase& c = GetParam();
  const std::string ffmpeg_errors = dir_ + "/ffmpeg.err";
  std::ostringstream pipeline;
  pipeline << c.command << " 2>" << ffmpeg_errors << " | " << FRAMEHOST_PATH << " -"
           << " --stats " << dir_ << "/stats.json --plot " << dir_ << "/plot.svg";
  if (c.th) pipeline << " th=" << *c.th;
  const ProcessResult run = RunProcess({"/bin/sh", "-c", pipeline.str()});
  ASSERT_EQ(run.exit_status, 0) << run.err << FileText(ffmpeg_errors);
  EXPECT_EQ(FileText(ffmpeg_errors), "");

  // Standard error: the report lines, the summary, then one line a segment.
  runner::ReportTally tally;
  std::vector<std::string> segment_lines;
  std::istringstream lines(run.err);
  for (std::string line; std::getline(lines, line);) {
    tally.Count(line);
    if (line.rfind("  frames ", 0) == 0) segment_lines.push_back(line.substr(2));
  }
  if (c.th == -1) {
    ASSERT_EQ(tally.reported, c.frames) << "every frame is reported at th=-1";
  }
  std::vector<std::string> expected_lines;
  for (const CadenceSegment& segment : c.expected) {
    expected_lines.push_back(runner::DescribeSegment(segment));
  }
  EXPECT_EQ(segment_lines, expected_lines);

  const std::string json = FileText(dir_ + "/stats.json");
  EXPECT_EQ(JsonSegments(json), c.expected);
  EXPECT_NE(json.find("\"frames\": " + std::to_string(c.frames) + ",\n"), std::string::npos);
  EXPECT_NE(json.find("\"blocks_per_frame\": " +
                      std::to_string(ScanGridOf(c.width, c.height).blocks) + ",\n"),
            std::string::npos);
  // The CSV: its header, then the report lines' frames and counts in order.
  std::istringstream csv(FileText(dir_ + "/stats.csv"));
  std::string row;
  ASSERT_TRUE(std::getline(csv, row));
  EXPECT_EQ(row, "frame,cycle_position,blocks,percent");
  for (const runner::FrameReport& report : tally.reports) {
    ASSERT_TRUE(std::getline(csv, row));
    EXPECT_EQ(row.substr(0, row.rfind(',')), std::to_string(report.frame) + "," +
                                                 std::to_string(report.position) + "," +
                                                 std::to_string(report.blocks));
  }
  EXPECT_FALSE(std::getline(csv, row)) << row;

  // The plot renders, where a renderer is installed (CI installs it).
  const ProcessResult rendered =
      RunProcess({"/bin/sh", "-c",
                  "! command -v rsvg-convert >/dev/null || exec rsvg-convert -o \"$1\" \"$2\"",
                  "sh", dir_ + "/plot.png", dir_ + "/plot.svg"});
  EXPECT_EQ(rendered.exit_status, 0) << rendered.err;
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
