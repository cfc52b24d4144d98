// The scan's defining cases, each run through every form this machine
// supports, top-down and bottom-up, with and without painting.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "guarded_plane.h"
#include "scan_paths.h"

namespace vorlith::testing {
namespace {

using Sample = std::function<std::uint8_t(std::int64_t r, std::int64_t j)>;
using Region = std::function<bool(std::int64_t r, std::int64_t j)>;

struct ScanCase {
  const char* name;
  std::int32_t row_size;
  std::int32_t pitch;
  std::int32_t height;
  Sample sample;
  std::int32_t count;
  Region painted;  // the bytes that show=true sets to 255
};

void PrintTo(const ScanCase& c, std::ostream* os) { *os << c.name; }

// Uniform rows with the given levels from row 0 down, 0 below them.
Sample Rows(std::vector<std::uint8_t> levels) {
  return [levels](std::int64_t r, std::int64_t) {
    return r < static_cast<std::int64_t>(levels.size()) ? levels[r] : std::uint8_t{0};
  };
}

const Sample kFields200 = [](std::int64_t r, std::int64_t) { return r % 2 ? 0 : 200; };
const Region kNothing = [](std::int64_t, std::int64_t) { return false; };

Region Blocks(std::vector<std::pair<int, int>> tops_and_lefts) {
  return [tops_and_lefts](std::int64_t r, std::int64_t j) {
    for (const auto& [y, x] : tops_and_lefts) {
      if (r >= y && r < y + 8 && j >= x && j < x + 8) return true;
    }
    return false;
  };
}

std::vector<ScanCase> Cases() {
  return {
      {"height 10 gives no band", 16, 16, 10, kFields200, 0, kNothing},
      {"height 0", 16, 16, 0, kFields200, 0, kNothing},
      {"negative height", 16, 16, -1, kFields200, 0, kNothing},
      {"row size 0", 0, 16, 40, kFields200, 0, kNothing},
      {"negative row size", -8, 16, 40, kFields200, 0, kNothing},
      {"row size 8, height 11: one block", 8, 8, 11, kFields200, 1, Blocks({{0, 0}})},
      {"row size 16, height 18: one band", 16, 16, 18, kFields200, 2, Blocks({{0, 0}, {0, 8}})},
      {"row size 16, height 19: two bands", 16, 16, 19, kFields200, 4,
       Blocks({{0, 0}, {0, 8}, {8, 0}, {8, 8}})},
      {"flat plane", 64, 64, 40, [](std::int64_t, std::int64_t) { return 77; }, 0, kNothing},
      {"ramp 3r + j", 64, 64, 40,
       [](std::int64_t r, std::int64_t j) { return static_cast<std::uint8_t>(3 * r + j); }, 0,
       kNothing},
      {"fields 720x480", 720, 768, 480, kFields200, 5310,
       [](std::int64_t r, std::int64_t j) { return r < 472 && j < 720; }},
      {"fields 720x576", 720, 720, 576, kFields200, 6390,
       [](std::int64_t r, std::int64_t j) { return r < 568 && j < 720; }},
      {"margin 20 at column 0 does not hold", 16, 16, 27,
       [](std::int64_t r, std::int64_t j) { return j == 0 && r % 2 ? 20 : 0; }, 0, kNothing},
      {"margin 21 at column 0 holds", 16, 16, 27,
       [](std::int64_t r, std::int64_t j) { return j == 0 && r % 2 ? 21 : 0; }, 3,
       Blocks({{0, 0}, {8, 0}, {16, 0}})},
      {"odd rows 2 above: near sum 16", 16, 16, 27,
       [](std::int64_t r, std::int64_t) { return r % 2 ? 52 : 50; }, 0, kNothing},
      {"odd rows 3 above: near sum 24", 16, 16, 27,
       [](std::int64_t r, std::int64_t) { return r % 2 ? 53 : 50; }, 6,
       Blocks({{0, 0}, {0, 8}, {8, 0}, {8, 8}, {16, 0}, {16, 8}})},
      {"2 holding row tests are not enough", 8, 8, 11,
       Rows({0, 100, 0, 100, 100, 100, 100, 100, 100, 100}), 0, kNothing},
      {"3 holding row tests comb", 8, 8, 11, Rows({0, 100, 0, 100, 0, 0, 0, 0, 0, 0}), 1,
       Blocks({{0, 0}})},
      {"rows below the block: 2 holding", 8, 8, 11, Rows({0, 100, 0, 0, 0, 0, 100, 0, 0, 0}), 0,
       kNothing},
      {"rows below the block: row y+8 makes 4", 8, 8, 11,
       Rows({0, 100, 0, 0, 0, 0, 100, 0, 100, 0}), 1, Blocks({{0, 0}})},
      {"one combed block in a flat plane", 32, 32, 35,
       [](std::int64_t r, std::int64_t j) -> std::uint8_t {
         if (r >= 8 && r < 16 && j >= 8 && j < 16) return r % 2 ? 120 : 0;
         return 60;
       },
       1, Blocks({{8, 8}})},
      {"padding equal to the samples", 12, 16, 27, [](std::int64_t, std::int64_t) { return 50; }, 0,
       kNothing},
      {"padding combs the last block", 12, 16, 27,
       [](std::int64_t r, std::int64_t j) { return j >= 12 && r % 2 ? 250 : 50; }, 3,
       Blocks({{0, 8}, {8, 8}, {16, 8}})},
      {"row size 1: padding takes part and is painted", 1, 16, 11,
       [](std::int64_t r, std::int64_t) { return r % 2 ? 0 : 200; }, 1, Blocks({{0, 0}})},
  };
}

class ScanCases : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanCases, EveryPathCountsAndPaintsExactly) {
  const ScanCase& c = GetParam();
  const ScanPathList paths = SupportedScanPaths();
  for (int p = 0; p < paths.count; ++p) {
    for (const int sign : {1, -1}) {
      for (const bool show : {false, true}) {
        SCOPED_TRACE(std::string(paths.paths[p].name) + (sign < 0 ? ", bottom-up" : ", top-down") +
                     (show ? ", show" : ", no show"));
        GuardedPlane plane(c.row_size, sign * c.pitch, c.height);
        plane.Fill(c.sample);
        GuardedPlane expected = plane;
        if (show) {
          for (std::int64_t r = 0; r < expected.rows(); ++r) {
            for (std::int64_t j = 0; j < expected.stride(); ++j) {
              if (c.painted(r, j)) expected.At(r, j) = 255;
            }
          }
        }
        EXPECT_EQ(paths.paths[p].scan(plane.View(), show), c.count);
        EXPECT_EQ(plane.FirstDifference(expected), "");
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Table, ScanCases, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<ScanCase>& info) {
                           std::string name;
                           for (const char ch : std::string(info.param.name)) {
                             name += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
                           }
                           return name;
                         });

// The dispatched entry point is one of the forms above; it must agree too.
TEST(ScanCombedBlocks, DispatchedScanMatchesTheReference) {
  GuardedPlane plane(720, 768, 480);
  plane.Fill(kFields200);
  GuardedPlane reference = plane;
  EXPECT_EQ(ScanCombedBlocks(plane.View(), true), 5310);
  EXPECT_EQ(ScanCombedBlocksScalar(reference.View(), true), 5310);
  EXPECT_EQ(plane.FirstDifference(reference), "");
}

// On a plane combed in every block the scan counts exactly the blocks it
// judges.
TEST(ScanGrid, HoldsTheBlocksThatTheScanJudges) {
  for (const auto& [width, height] : std::vector<std::pair<int, int>>{
           {720, 480}, {1920, 1080}, {101, 67}, {16, 16}, {9, 11}, {16, 10}, {8, 3}}) {
    const int pitch = (width + 7) / 8 * 8;
    std::vector<std::uint8_t> plane(static_cast<std::size_t>(pitch) * height);
    for (int r = 0; r < height; r += 2) {
      std::fill_n(plane.begin() + static_cast<std::ptrdiff_t>(r) * pitch, pitch, 255);
    }
    const LumaPlane luma{plane.data(), nullptr, pitch, width, height};
    EXPECT_EQ(ScanGridOf(width, height).blocks, ScanCombedBlocks(luma, false))
        << width << "x" << height;
  }
  EXPECT_EQ(ScanGridOf(720, 480).blocks, 5310);
  EXPECT_EQ(ScanGridOf(0, 480).blocks, 0);
  EXPECT_EQ(ScanGridOf(12, 27).scanned_width, 16);
}

}  // namespace
}  // namespace vorlith::testing
