// The cadence segments from report lines: which frames count as combed, and
// how the judged frames are split, on counts like those the plugin gives
// for 720x480 clips (5310 blocks judged a frame).
#include "cadence_segments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace vorlith::runner {

void PrintTo(const CadenceSegment& s, std::ostream* os) {
  *os << s.first << "-" << s.last << " " << CadenceKindName(s.kind);
  if (s.kind == CadenceKind::kTelecine) *os << " " << s.woven_position;
}

namespace {

constexpr std::int64_t kBlocks = 5310;

// One character a frame (spaces only show the cycles): counts measured on
// lavfi sources. W a woven frame, I an interlaced one, '.' a clean detailed
// frame, o a clean one just over the default threshold, h a clean one of
// fine detail, f a woven frame of faint material and 0 a clean one.
std::int64_t CountOf(char c) {
  switch (c) {
    case 'W':
      return 400;
    case 'I':
      return 250;
    case 'o':
      return 88;
    case 'h':
      return 120;
    case 'f':
      return 30;
    case '0':
      return 2;
    default:
      return 70;
  }
}

// The reports of the frames of `pattern` whose count exceeds `th`.
std::vector<FrameReport> Reports(const std::string& pattern, int th) {
  std::vector<FrameReport> reports;
  std::int64_t frame = 0;
  for (const char c : pattern) {
    if (c == ' ') continue;
    if (CountOf(c) > th) reports.push_back({frame, frame % 5, CountOf(c)});
    ++frame;
  }
  return reports;
}

std::int64_t Frames(const std::string& pattern) {
  return static_cast<std::int64_t>(pattern.size()) -
         std::count(pattern.begin(), pattern.end(), ' ');
}

std::string Repeat(const std::string& cycle, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += cycle + " ";
  return text;
}

constexpr auto kTelecine = CadenceKind::kTelecine;
constexpr auto kInterlaced = CadenceKind::kInterlaced;
constexpr auto kProgressive = CadenceKind::kProgressive;
constexpr auto kMixed = CadenceKind::kMixed;

struct SegmentCase {
  const char* name;
  std::string pattern;
  int th;  // the plugin's threshold, which made the reports
  std::vector<CadenceSegment> expected;
};

void PrintTo(const SegmentCase& c, std::ostream* os) { *os << c.name; }

class CadenceSegments : public ::testing::TestWithParam<SegmentCase> {};

// Each case holds whether framehost was told th or not.
TEST_P(CadenceSegments, FollowTheCadence) {
  const SegmentCase& c = GetParam();
  const std::vector<FrameReport> reports = Reports(c.pattern, c.th);
  EXPECT_EQ(FindCadenceSegments(reports, Frames(c.pattern), c.th, kBlocks), c.expected)
      << "th given";
  EXPECT_EQ(FindCadenceSegments(reports, Frames(c.pattern), std::nullopt, kBlocks), c.expected)
      << "th not given";
}

INSTANTIATE_TEST_SUITE_P(
    Table, CadenceSegments,
    ::testing::Values(
        SegmentCase{"telecine_then_a_phase_change",
                    Repeat("..WW.", 8) + Repeat("WW...", 8),
                    -1,
                    {{0, 39, kTelecine, 2}, {40, 79, kTelecine, 0}}},
        // The same at the default threshold: the clean frames are not reported.
        SegmentCase{"phase_change_at_the_default_threshold",
                    Repeat("..WW.", 8) + Repeat("WW...", 8),
                    80,
                    {{0, 39, kTelecine, 2}, {40, 79, kTelecine, 0}}},
        // Frame 15 is clean in either phase: the boundary is the first frame
        // the earlier phase does not explain.
        SegmentCase{"frames_either_phase_explains_stay_in_the_earlier",
                    Repeat("..WW.", 3) + Repeat(".WW..", 3),
                    -1,
                    {{0, 15, kTelecine, 2}, {16, 29, kTelecine, 1}}},
        SegmentCase{"telecine_interlaced_progressive",
                    Repeat("..WW.", 6) + Repeat("IIIII", 4) + Repeat(".....", 4),
                    -1,
                    {{0, 29, kTelecine, 2}, {30, 49, kInterlaced, 0}, {50, 69, kProgressive, 0}}},
        SegmentCase{"woven_at_positions_4_and_0", Repeat("W...W", 6), 80, {{0, 29, kTelecine, 4}}},
        // A cycle woven at the wrong place, and one with its pair missing,
        // leave a long segment whole.
        SegmentCase{
            "odd_cycles_do_not_split_a_segment",
            Repeat("..WW.", 5) + "W...W " + Repeat("..WW.", 5) + "..... " + Repeat("..WW.", 5),
            -1,
            {{0, 84, kTelecine, 2}}},
        SegmentCase{"frames_barely_over_th_beside_a_woven_pair_are_clean",
                    Repeat("o.WWo", 10),
                    80,
                    {{0, 49, kTelecine, 2}}},
        SegmentCase{"detailed_clean_frames_are_progressive",
                    Repeat(".o.h.", 10),
                    -1,
                    {{0, 49, kProgressive, 0}}},
        SegmentCase{"detail_over_th_alone_is_progressive",
                    Repeat("ohoho", 10),
                    80,
                    {{0, 49, kProgressive, 0}}},
        SegmentCase{"interlaced", Repeat("IIIII", 6), 80, {{0, 29, kInterlaced, 0}}},
        SegmentCase{"faint_telecine_stands_out_of_its_clean_frames",
                    Repeat("00ff0", 8),
                    -1,
                    {{0, 39, kTelecine, 2}}},
        // Combed every other frame: no cadence fits.
        SegmentCase{"alternating_frames_are_mixed",
                    Repeat("..WW.", 6) + Repeat("W.W.W.W.W.", 3) + Repeat("..WW.", 6),
                    -1,
                    {{0, 29, kTelecine, 2}, {30, 57, kMixed, 0}, {58, 89, kTelecine, 2}}},
        SegmentCase{"nothing_reported", Repeat(".....", 4), 80, {{0, 19, kProgressive, 0}}}),
    [](const ::testing::TestParamInfo<SegmentCase>& info) { return info.param.name; });

TEST(CadenceSegments, FindEveryPhase) {
  for (int phase = 0; phase < 5; ++phase) {
    std::string cycle = ".....";
    cycle[phase] = cycle[(phase + 1) % 5] = 'W';
    EXPECT_EQ(FindCadenceSegments(Reports(Repeat(cycle, 6), -1), 30, -1, kBlocks),
              (std::vector<CadenceSegment>{{0, 29, kTelecine, phase}}))
        << cycle;
  }
}

// A clean frame of fine detail beside a woven pair three times as strong is
// clean, though its count passes the level that interlaced frames reach.
TEST(CadenceSegments, AFrameDominatedByAWovenNeighbourIsClean) {
  std::vector<FrameReport> reports;
  for (std::int64_t f = 0; f < 30; ++f) {
    const bool woven = f % 5 == 2 || f % 5 == 3;
    reports.push_back({f, f % 5, woven ? 900 : 200});
  }
  const std::vector<bool> combed = JudgeCombedFrames(reports, 30, -1, kBlocks);
  for (std::int64_t f = 0; f < 30; ++f) {
    EXPECT_EQ(combed[static_cast<std::size_t>(f)], f % 5 == 2 || f % 5 == 3) << f;
  }
}

// Another filter's reports may come out of order or twice, and name frames
// the run never reached: the segments are those of the ordered reports.
TEST(CadenceSegments, TakeReportsInAnyOrderOnce) {
  const std::string pattern = Repeat("..WW.", 8) + Repeat("IIIII", 4);
  std::vector<FrameReport> reports = Reports(pattern, 80);
  const std::vector<CadenceSegment> expected = FindCadenceSegments(reports, 60, 80, kBlocks);
  ASSERT_EQ(expected.size(), 2u);
  std::reverse(reports.begin(), reports.end());
  reports.push_back({12, 2, 95});     // again, lower: the larger count holds
  reports.push_back({14, 4, 81});     // a clean frame reported once more
  reports.push_back({60, 0, 5000});   // past the last frame processed
  reports.push_back({-3, -3, 5000});  // before the first
  EXPECT_EQ(FindCadenceSegments(reports, 60, 80, kBlocks), expected);
}

TEST(CadenceSegments, ShortRuns) {
  EXPECT_TRUE(FindCadenceSegments({}, 0, std::nullopt, kBlocks).empty());
  EXPECT_TRUE(FindCadenceSegments({{0, 0, 400}}, 0, -1, kBlocks).empty());
  EXPECT_EQ(FindCadenceSegments({{0, 0, 400}}, 1, -1, kBlocks),
            (std::vector<CadenceSegment>{{0, 0, kInterlaced, 0}}));
  EXPECT_EQ(FindCadenceSegments({}, 3, std::nullopt, kBlocks),
            (std::vector<CadenceSegment>{{0, 2, kProgressive, 0}}));
  // Counts no plugin sends, taken without overflow (the sanitizer build
  // would stop here).
  const std::vector<CadenceSegment> wild =
      FindCadenceSegments({{0, 0, std::numeric_limits<std::int64_t>::max()}, {1, 1, -1}}, 2,
                          std::numeric_limits<int>::min(), kBlocks);
  ASSERT_FALSE(wild.empty());
  EXPECT_EQ(wild.front().first, 0);
  EXPECT_EQ(wild.back().last, 1);
  // Frames too short to judge any block.
  EXPECT_EQ(FindCadenceSegments({{0, 0, 0}, {1, 1, 0}}, 2, -1, 0),
            (std::vector<CadenceSegment>{{0, 1, kProgressive, 0}}));
}

}  // namespace
}  // namespace vorlith::runner
