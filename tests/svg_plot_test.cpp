// The SVG plot: a real renderer reads it, hostile names stay text, and a
// long clip is drawn in a bounded number of columns that keep each
// position's peak.
#include "svg_plot.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "run_process.h"

namespace vorlith::runner {
namespace {

using testing::ProcessResult;
using testing::RunProcess;

// Telecine, then interlaced frames, as framehost reports them at th=80,
// under a name that needs escaping.
RunStats JoinedRun() {
  RunStats stats;
  stats.input = "clips/<joined> & \"cut\" \x01\xff.y4m";
  stats.frames = 60;
  stats.blocks_per_frame = 5310;
  stats.threshold = 80;
  for (std::int64_t f = 0; f < 60; ++f) {
    const bool woven = f >= 40 || f % 5 == 2 || f % 5 == 3;
    if (woven) stats.tally.reports.push_back({f, f % 5, 300 + f});
  }
  stats.tally.reported = static_cast<std::int64_t>(stats.tally.reports.size());
  stats.segments = {{0, 39, CadenceKind::kTelecine, 2}, {40, 59, CadenceKind::kInterlaced, 0}};
  return stats;
}

std::string Svg(const RunStats& stats) {
  std::ostringstream svg;
  WriteSvgPlot(svg, stats);
  return svg.str();
}

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST(SvgPlot, RendersWithRsvg) {
  if (RunProcess({"/bin/sh", "-c", "command -v rsvg-convert"}).exit_status != 0) {
    GTEST_SKIP() << "rsvg-convert is not installed (Debian: librsvg2-bin)";
  }
  char pattern[] = "/tmp/svg_plot_test.XXXXXX";
  const std::string dir = mkdtemp(pattern);
  const std::string svg = dir + "/plot.svg", png = dir + "/plot.png";
  std::ofstream(svg) << Svg(JoinedRun());
  const ProcessResult run =
      RunProcess({"/bin/sh", "-c", "exec rsvg-convert -o \"$1\" \"$2\"", "sh", png, svg});
  EXPECT_EQ(run.exit_status, 0) << run.err;
  std::ifstream in(png, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::filesystem::remove_all(dir);
  // A PNG whose header (IHDR) gives the page's size.
  ASSERT_GE(bytes.size(), 24u);
  EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n");
  const auto big_endian = [&](std::size_t at) {
    return (static_cast<unsigned char>(bytes[at]) << 24) |
           (static_cast<unsigned char>(bytes[at + 1]) << 16) |
           (static_cast<unsigned char>(bytes[at + 2]) << 8) |
           static_cast<unsigned char>(bytes[at + 3]);
  };
  const std::string svg_text = Svg(JoinedRun());
  EXPECT_NE(svg_text.find("width=\"" + std::to_string(big_endian(16)) + "\" height=\"" +
                          std::to_string(big_endian(20)) + "\""),
            std::string::npos);
}

TEST(SvgPlot, ShowsSegmentsThresholdAndEscapedName) {
  const std::string svg = Svg(JoinedRun());
  EXPECT_NE(svg.find(">telecine 2+3</text>"), std::string::npos);
  EXPECT_NE(svg.find(">interlaced</text>"), std::string::npos);
  EXPECT_NE(svg.find(">th=80</text>"), std::string::npos);
  EXPECT_NE(svg.find("clips/&lt;joined&gt; &amp; &quot;cut&quot; \xEF\xBF\xBD\xEF\xBF\xBD.y4m"),
            std::string::npos);
  // Self-contained: no reference leaves the document.
  EXPECT_EQ(svg.find("href"), std::string::npos);

  RunStats unknown = JoinedRun();
  unknown.threshold.reset();
  EXPECT_EQ(Svg(unknown).find(">th="), std::string::npos);
}

// 100000 frames in kPlotColumns columns: position 0 reported throughout at
// 10 blocks, and one frame of position 2 at 5000, which its column keeps.
TEST(SvgPlot, ALongClipKeepsEachColumnsPeak) {
  RunStats stats;
  stats.input = "long.y4m";
  stats.frames = 100000;
  stats.blocks_per_frame = 5310;
  for (std::int64_t f = 0; f < stats.frames; f += 5) stats.tally.reports.push_back({f, 0, 10});
  stats.tally.reports.push_back({50002, 2, 5000});
  stats.segments = {{0, 99999, CadenceKind::kProgressive, 0}};
  const std::string svg = Svg(stats);

  EXPECT_LT(svg.size(), 100'000u);
  // A line for position 0 through every column, a lone point for position
  // 2, at the top of the scale; the legend has a square of each colour.
  const auto path_of = [&](const std::string& colour) {
    const std::size_t end = svg.find("\" fill=\"none\" stroke=\"" + colour + "\"");
    const std::size_t start = svg.rfind("<path d=\"", end);
    return end == std::string::npos ? std::string() : svg.substr(start, end - start);
  };
  EXPECT_EQ(Occurrences(path_of("#0072B2"), "M"), 1u);
  EXPECT_EQ(Occurrences(path_of("#0072B2"), " L"), static_cast<std::size_t>(kPlotColumns) - 1);
  const std::string lone = path_of("#009E73");
  EXPECT_EQ(Occurrences(lone, "M"), 1u);
  EXPECT_EQ(Occurrences(lone, " L"), 0u);
  EXPECT_TRUE(path_of("#E69F00").empty());
  EXPECT_NE(svg.find(">5000</text>"), std::string::npos);
  EXPECT_NE(svg.find(">100000</text>"), std::string::npos);
}

}  // namespace
}  // namespace vorlith::runner
