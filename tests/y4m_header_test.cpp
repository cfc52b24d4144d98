// Header lines that must be taken, and what is read from their tags.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "y4m_error.h"
#include "y4m_header.h"

namespace vorlith::testing {
namespace {

using media::ParseY4mHeader;
using media::Y4mHeader;
using media::Y4mInterlacing;

struct AcceptedCase {
  std::string line;
  std::int32_t width;
  std::int32_t height;
  std::string colour_space;
  std::int32_t chroma_width;
  std::int32_t chroma_height;
};

void PrintTo(const AcceptedCase& c, std::ostream* os) { *os << c.line; }

class AcceptedHeaderTest : public ::testing::TestWithParam<AcceptedCase> {};

TEST_P(AcceptedHeaderTest, GivesSizesAndKeepsTheLine) {
  const AcceptedCase& c = GetParam();
  const Y4mHeader header = ParseY4mHeader(c.line, "in");
  EXPECT_EQ(header.width, c.width);
  EXPECT_EQ(header.height, c.height);
  EXPECT_EQ(header.colour_space, c.colour_space);
  EXPECT_EQ(header.line, c.line);
  EXPECT_EQ(header.PlaneWidth(0), c.width);
  EXPECT_EQ(header.PlaneHeight(0), c.height);
  for (int p = 1; p < 3; ++p) {
    EXPECT_EQ(header.PlaneWidth(p), c.chroma_width);
    EXPECT_EQ(header.PlaneHeight(p), c.chroma_height);
  }
  EXPECT_EQ(header.FrameBytes(),
            std::int64_t{c.width} * c.height + 2 * std::int64_t{c.chroma_width} * c.chroma_height);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, AcceptedHeaderTest,
    ::testing::Values(
        // Every spelling of 4:2:0, and no C tag, which means 4:2:0.
        AcceptedCase{"YUV4MPEG2 W720 H480 C420jpeg", 720, 480, "420jpeg", 360, 240},
        AcceptedCase{"YUV4MPEG2 W720 H480 C420mpeg2", 720, 480, "420mpeg2", 360, 240},
        AcceptedCase{"YUV4MPEG2 W720 H480 C420paldv", 720, 480, "420paldv", 360, 240},
        AcceptedCase{"YUV4MPEG2 W720 H480 C420", 720, 480, "420", 360, 240},
        AcceptedCase{"YUV4MPEG2 W720 H480", 720, 480, "", 360, 240},
        // Odd sizes round the chroma planes up.
        AcceptedCase{"YUV4MPEG2 W1 H1", 1, 1, "", 1, 1},
        AcceptedCase{"YUV4MPEG2 W5 H3", 5, 3, "", 3, 2},
        AcceptedCase{"YUV4MPEG2 H17 W33", 33, 17, "", 17, 9},
        // Tags in any order, separated by runs of spaces.
        AcceptedCase{"YUV4MPEG2  C420jpeg   H8 W16 ", 16, 8, "420jpeg", 8, 4},
        // The limits themselves are allowed.
        AcceptedCase{"YUV4MPEG2 W16384 H4096", 16384, 4096, "", 8192, 2048},
        AcceptedCase{"YUV4MPEG2 W8192 H8192", 8192, 8192, "", 4096, 4096}));

TEST(Y4mHeader, ReadsEveryTag) {
  const Y4mHeader header =
      ParseY4mHeader("YUV4MPEG2 W720 H480 F30000:1001 It A10:11 C420mpeg2 XYSCSS=420MPEG2 X", "in");
  ASSERT_TRUE(header.frame_rate.has_value());
  EXPECT_EQ(header.frame_rate->numerator, 30000);
  EXPECT_EQ(header.frame_rate->denominator, 1001);
  ASSERT_TRUE(header.pixel_aspect.has_value());
  EXPECT_EQ(header.pixel_aspect->numerator, 10);
  EXPECT_EQ(header.pixel_aspect->denominator, 11);
  EXPECT_EQ(header.interlacing, Y4mInterlacing::kTopFieldFirst);
  EXPECT_EQ(header.extensions, (std::vector<std::string>{"YSCSS=420MPEG2", ""}));
}

TEST(Y4mHeader, OptionalTagsMayBeAbsentOrUnknown) {
  const Y4mHeader bare = ParseY4mHeader("YUV4MPEG2 W8 H8", "in");
  EXPECT_FALSE(bare.frame_rate.has_value());
  EXPECT_FALSE(bare.pixel_aspect.has_value());
  EXPECT_EQ(bare.interlacing, Y4mInterlacing::kUnstated);

  const Y4mHeader unknown_aspect =
      ParseY4mHeader("YUV4MPEG2 W8 H8 A0:0 F2147483647:2147483647", "in");
  EXPECT_EQ(unknown_aspect.pixel_aspect->numerator, 0);
  EXPECT_EQ(unknown_aspect.pixel_aspect->denominator, 0);
  EXPECT_EQ(unknown_aspect.frame_rate->numerator, 2147483647);

  // As ffmpeg reads them: F0:0 says the rate is unknown, and a tag this
  // reader does not know is kept in the line, which is what gets written.
  const std::string lenient = "YUV4MPEG2 W8 H8 F0:0 Q7 w2";
  const Y4mHeader header = ParseY4mHeader(lenient, "in");
  EXPECT_FALSE(header.frame_rate.has_value());
  EXPECT_EQ(header.width, 8);
  EXPECT_EQ(header.line, lenient);
}

TEST(Y4mHeader, ReadsEachInterlacing) {
  EXPECT_EQ(ParseY4mHeader("YUV4MPEG2 W8 H8 Ip", "in").interlacing, Y4mInterlacing::kProgressive);
  EXPECT_EQ(ParseY4mHeader("YUV4MPEG2 W8 H8 Ib", "in").interlacing,
            Y4mInterlacing::kBottomFieldFirst);
  EXPECT_EQ(ParseY4mHeader("YUV4MPEG2 W8 H8 Im", "in").interlacing, Y4mInterlacing::kMixed);
  EXPECT_EQ(ParseY4mHeader("YUV4MPEG2 W8 H8 I?", "in").interlacing, Y4mInterlacing::kUnstated);
}

TEST(Y4mHeader, RefusesANewlineInsideTheLine) {
  EXPECT_THROW(ParseY4mHeader("YUV4MPEG2 W8 H8 Xa\nFRAME", "in"), media::Y4mError);
}

}  // namespace
}  // namespace vorlith::testing
