// The report line's exact bytes as they reach the debugger output channel.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "report_channel.h"

namespace vorlith::testing {
namespace {

struct ReportCase {
  std::int32_t n;
  std::int32_t count;
  std::int32_t th;
  std::string sent;  // empty when nothing may be sent
};

void PrintTo(const ReportCase& c, std::ostream* os) {
  *os << "n " << c.n << ", count " << c.count << ", th " << c.th;
}

class ReportFrameTest : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ReportFrameTest, SendsExactlyTheLine) {
  const ReportCase& c = GetParam();
  const std::vector<std::string> expected =
      c.sent.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.sent};
  EXPECT_EQ(ReportThroughChannel({{c.n, c.count, c.th}}), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ReportFrameTest,
    ::testing::Values(ReportCase{7, 100, 80, "\r2 frame=7 --- Blocks=100\n"},
                      ReportCase{0, 81, 80, "\r0 frame=0 --- Blocks=81\n"},
                      ReportCase{4, 81, 80, "\r4 frame=4 --- Blocks=81\n"},
                      ReportCase{10, 81, 80, "\r0 frame=10 --- Blocks=81\n"},
                      // The remainder takes the sign of n; zero is written without one.
                      ReportCase{-7, 100, 80, "\r-2 frame=-7 --- Blocks=100\n"},
                      ReportCase{-5, 100, 80, "\r0 frame=-5 --- Blocks=100\n"},
                      ReportCase{INT32_MIN, INT32_MAX, 80,
                                 "\r-3 frame=-2147483648 --- Blocks=2147483647\n"},
                      // A negative threshold reports frames without a combed block.
                      ReportCase{3, 0, -1, "\r3 frame=3 --- Blocks=0\n"},
                      // Only a count above the threshold is sent.
                      ReportCase{7, 80, 80, ""}, ReportCase{7, 0, 0, ""},
                      ReportCase{7, INT32_MAX, INT32_MAX, ""}));

TEST(ReportFrame, SameFrameTwiceSendsTwoLines) {
  const std::string line = "\r2 frame=12 --- Blocks=90\n";
  EXPECT_EQ(ReportThroughChannel({{12, 90, 80}, {12, 90, 80}}),
            (std::vector<std::string>{line, line}));
}

}  // namespace
}  // namespace vorlith::testing
