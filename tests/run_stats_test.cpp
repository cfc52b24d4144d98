// The stats of a run as text: percentages,
// the CSV and JSON files, the segments' summary lines, and the escaping of
// names for JSON and XML.
#include "run_stats.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "text_escapes.h"

namespace vorlith::runner {
namespace {

TEST(RunStats, PercentHasTwoDecimalsRoundedHalfUp) {
  const struct {
    std::int64_t blocks, per_frame;
    const char* text;
  } cases[] = {{400, 5310, "7.53"},
               {0, 5310, "0.00"},
               {5310, 5310, "100.00"},
               {1, 32160, "0.00"},
               {1, 800, "0.13"},
               {1, 1600, "0.06"},
               {-1, 800, "0.00"},
               {7, 0, "0.00"},
               {123456789, 1, "12345678900.00"},
               {std::numeric_limits<std::int64_t>::max(), 5310, "20706433668.10"}};
  for (const auto& c : cases) {
    EXPECT_EQ(FormatPercent(c.blocks, c.per_frame), c.text) << c.blocks << "/" << c.per_frame;
  }
}

RunStats SmallRun() {
  RunStats stats;
  stats.input = "clip \"one\"\\\n\xff.y4m";
  stats.frames = 12;
  stats.blocks_per_frame = 5310;
  stats.threshold = 80;
  for (const char* line : {"\r2 frame=2 --- Blocks=400", "\r3 frame=3 --- Blocks=81",
                           "not a report", "\r4 frame=9 --- Blocks=5310"}) {
    stats.tally.Count(line);
  }
  stats.segments = {{0, 8, CadenceKind::kTelecine, 4}, {9, 11, CadenceKind::kInterlaced, 0}};
  return stats;
}

TEST(RunStats, CsvHasARowPerReport) {
  std::ostringstream csv;
  WriteStatsCsv(csv, SmallRun());
  EXPECT_EQ(csv.str(),
            "frame,cycle_position,blocks,percent\n"
            "2,2,400,7.53\n"
            "3,3,81,1.53\n"
            "9,4,5310,100.00\n");
}

TEST(RunStats, JsonHoldsTheRunAndItsSegments) {
  std::ostringstream json;
  WriteStatsJson(json, SmallRun());
  EXPECT_EQ(json.str(), R"({
  "input": "clip \"one\"\\\n)"
                        "\xEF\xBF\xBD"
                        R"(.y4m",
  "frames": 12,
  "blocks_per_frame": 5310,
  "threshold": 80,
  "reported": 3,
  "by_position": [0, 0, 1, 1, 1],
  "reports": [
    {"frame": 2, "position": 2, "blocks": 400},
    {"frame": 3, "position": 3, "blocks": 81},
    {"frame": 9, "position": 4, "blocks": 5310}
  ],
  "segments": [
    {"first": 0, "last": 8, "kind": "telecine", "positions": [4, 0]},
    {"first": 9, "last": 11, "kind": "interlaced"}
  ]
}
)");
}

TEST(RunStats, JsonOfARunWithoutReportsOrThreshold) {
  RunStats stats;
  stats.input = "stdin";
  std::ostringstream json;
  WriteStatsJson(json, stats);
  EXPECT_EQ(json.str(), R"({
  "input": "stdin",
  "frames": 0,
  "blocks_per_frame": 0,
  "threshold": null,
  "reported": 0,
  "by_position": [0, 0, 0, 0, 0],
  "reports": [],
  "segments": []
}
)");
}

TEST(RunStats, SegmentLines) {
  EXPECT_EQ(DescribeSegment({0, 299, CadenceKind::kTelecine, 2}),
            "frames 0-299: telecine, woven at cycle positions 2 and 3");
  EXPECT_EQ(DescribeSegment({300, 449, CadenceKind::kTelecine, 4}),
            "frames 300-449: telecine, woven at cycle positions 4 and 0");
  EXPECT_EQ(DescribeSegment({450, 599, CadenceKind::kInterlaced, 0}), "frames 450-599: interlaced");
  EXPECT_EQ(DescribeSegment({600, 600, CadenceKind::kProgressive, 0}),
            "frames 600-600: progressive");
  EXPECT_EQ(DescribeSegment({601, 700, CadenceKind::kMixed, 0}), "frames 601-700: mixed");
}

TEST(TextEscapes, KeepUtf8AndReplaceWhatIsNot) {
  const std::string r = "\xEF\xBF\xBD";  // U+FFFD
  const struct {
    std::string in, out;
  } cases[] = {{"plain", "plain"},
               {"caf\xC3\xA9 \xF0\x9F\x8E\x9E", "caf\xC3\xA9 \xF0\x9F\x8E\x9E"},
               {"cut \xC3", "cut " + r},
               {"\xC0\xAF", r + r},                  // overlong
               {"\xED\xA0\x80", r + r + r},          // surrogate
               {"\xF4\x90\x80\x80", r + r + r + r},  // past U+10FFFF
               {"\x80 \xFF", r + " " + r}};
  for (const auto& c : cases) EXPECT_EQ(ValidUtf8(c.in), c.out) << c.in;
}

TEST(TextEscapes, JsonAndXmlEscapeTheirOwnCharacters) {
  EXPECT_EQ(JsonString("a\"b\\c\n\t\x01/"), R"("a\"b\\c\n\t\u0001/")");
  EXPECT_EQ(XmlText("<a & 'b'>\"\t\x01"), "&lt;a &amp; &apos;b&apos;&gt;&quot;\t\xEF\xBF\xBD");
}

}  // namespace
}  // namespace vorlith::runner
