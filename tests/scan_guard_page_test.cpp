// No form of the scan may touch a byte beyond what it scans. Every path
// runs on every row size from 1 to 64 (every tail that the widest form, 8
// blocks to a vector, can meet), with and without painting, top-down and
// bottom-up, on planes whose rows each sit against an inaccessible page and
// whose unread rows are inaccessible whole. The content combs every block,
// so every tail is read in full and, with show, painted.
//
// A touch of an inaccessible page raises SIGSEGV and ends the whole test
// program; nothing can go on after it. The handler below first names the
// path and geometry that touched it, then lets the fault take its course.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <tuple>

#include "page_fenced_plane.h"
#include "scan_paths.h"
#include "scan_reach.h"

namespace vorlith::testing {
namespace {

// The case under way, formatted before each scan: the handler may call only
// async-signal-safe functions, so it can just write out what is ready.
char g_case[200];
std::size_t g_case_length = 0;
struct sigaction g_previous_handler;

void NameTheCaseThenFault(int) {
  const char lead[] = "\nscan_guard_page_test: inaccessible page touched by ";
  ssize_t ignored = write(STDERR_FILENO, lead, sizeof lead - 1);
  ignored = write(STDERR_FILENO, g_case, g_case_length);
  static_cast<void>(ignored);
  // Returning runs the access again, and it meets the handler that was there
  // before: the default one, or the sanitizer's, which reports the fault.
  sigaction(SIGSEGV, &g_previous_handler, nullptr);
}

// Even rows 200, odd rows 0: every row test holds, so every block combs.
std::uint8_t CombingFields(std::int64_t r, std::int64_t) { return r % 2 ? 0 : 200; }

using GuardPageParam = std::tuple<FencedEdge, int, std::int32_t>;  // edge, pitch sign, height

class ScanGuardPage : public ::testing::TestWithParam<GuardPageParam> {
 protected:
  static void SetUpTestSuite() {
    struct sigaction action = {};
    action.sa_handler = NameTheCaseThenFault;
    sigemptyset(&action.sa_mask);
    sigaction(SIGSEGV, &action, &g_previous_handler);
  }
  static void TearDownTestSuite() { sigaction(SIGSEGV, &g_previous_handler, nullptr); }
};

TEST_P(ScanGuardPage, NoPathTouchesAByteBeyondTheScan) {
  const auto [edge, pitch_sign, height] = GetParam();
  const ScanPathList paths = SupportedScanPaths();
  const std::int32_t rows_read = RowsRead(height);
  const std::int32_t bands = rows_read == 0 ? 0 : (rows_read - 2) / 8;
  for (std::int32_t row_size = 1; row_size <= 64; ++row_size) {
    PageFencedPlane plane(row_size, pitch_sign, height, rows_read, edge);
    for (int p = 0; p < paths.count; ++p) {
      for (const bool show : {false, true}) {
        plane.Fill(CombingFields);
        const int length = std::snprintf(
            g_case, sizeof g_case, "%s, row size %d, pitch %d, height %d, row %s fenced, show %d\n",
            paths.paths[p].name, row_size, plane.View().pitch, height,
            edge == FencedEdge::kRowEnd ? "end" : "start", show);
        g_case_length = static_cast<std::size_t>(length);
        EXPECT_EQ(paths.paths[p].scan(plane.View(), show), bands * (ScannedWidth(row_size) / 8))
            << g_case;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    AroundTheBandLimit, ScanGuardPage,
    ::testing::Combine(::testing::Values(FencedEdge::kRowEnd, FencedEdge::kRowStart),
                       ::testing::Values(1, -1), ::testing::Values(0, 10, 11, 12, 18, 19, 27)),
    [](const ::testing::TestParamInfo<GuardPageParam>& info) {
      // No structured binding here: its commas would split the macro's arguments.
      return std::string(std::get<0>(info.param) == FencedEdge::kRowEnd ? "RowEnd" : "RowStart") +
             (std::get<1>(info.param) < 0 ? "BottomUp" : "TopDown") + "Height" +
             std::to_string(std::get<2>(info.param));
    });

void Touch(const std::uint8_t* p) {
  static_cast<void>(*static_cast<const volatile std::uint8_t*>(p));
}

// The fences themselves: were they not there, every case above would pass
// without proving anything.
TEST(PageFencedPlaneDeathTest, BytesBeyondTheReadableRowsFault) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const int pitch_sign : {1, -1}) {
    SCOPED_TRACE(pitch_sign < 0 ? "bottom-up" : "top-down");
    PageFencedPlane end_fenced(13, pitch_sign, 19, 18, FencedEdge::kRowEnd);
    Touch(end_fenced.Row(17) + 15);
    EXPECT_DEATH(Touch(end_fenced.Row(0) + 16), "");
    EXPECT_DEATH(Touch(end_fenced.Row(17) + 16), "");
    EXPECT_DEATH(Touch(end_fenced.Row(18) + 15), "");
    PageFencedPlane start_fenced(13, pitch_sign, 19, 18, FencedEdge::kRowStart);
    Touch(start_fenced.Row(0));
    EXPECT_DEATH(Touch(start_fenced.Row(0) - 1), "");
    EXPECT_DEATH(Touch(start_fenced.Row(17) - 1), "");
    EXPECT_DEATH(Touch(start_fenced.Row(18)), "");
  }
}

}  // namespace
}  // namespace vorlith::testing
