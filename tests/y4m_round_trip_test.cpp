// Streams read into planes of every layout land in the right bytes, and
// written back they are byte for byte the input.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "y4m_frame_buffer.h"
#include "y4m_reader.h"
#include "y4m_streams.h"
#include "y4m_writer.h"

namespace vorlith::testing {
namespace {

using host::PlaneBuffer;
using media::Y4mFrameBuffer;
using media::Y4mReader;
using media::Y4mWriter;

struct RoundTripCase {
  std::string header_line;
  std::int32_t row_padding;
  bool bottom_up;
};

void PrintTo(const RoundTripCase& c, std::ostream* os) {
  *os << c.header_line << ", padding " << c.row_padding << (c.bottom_up ? ", bottom-up" : "");
}

class RoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTripTest, ReadsEveryByteInPlaceAndWritesTheInputBack) {
  const RoundTripCase& c = GetParam();
  const TestStream stream = MakeTestStream(c.header_line, {"", " Ib", " XFRAME=tagged", ""});
  TempFile input(stream.bytes);
  TempFile output;

  Y4mReader reader(input.fd(), "in.y4m");
  EXPECT_EQ(reader.header().line, c.header_line);
  Y4mWriter writer(output.fd(), "out.y4m", reader.header());
  const Y4mFrameBuffer frame(reader.header(), c.row_padding);
  const BottomUpPlanes flipped(frame.planes());
  const PlaneBuffer* planes = c.bottom_up ? flipped.planes : frame.planes();
  const host::PlaneView written[] = {host::ViewOf(planes[0]), host::ViewOf(planes[1]),
                                     host::ViewOf(planes[2])};

  std::string parameters;
  for (std::size_t f = 0; f < stream.frame_planes.size(); ++f) {
    ASSERT_TRUE(reader.ReadFrame(planes, &parameters)) << "frame " << f;
    EXPECT_EQ(reader.frames_read(), static_cast<std::int64_t>(f + 1));
    EXPECT_EQ(parameters, stream.frame_parameters[f]);
    EXPECT_EQ(PlaneBytes(planes), stream.frame_planes[f]) << "frame " << f;
    writer.WriteFrame(written, parameters);
  }
  EXPECT_FALSE(reader.ReadFrame(planes, &parameters));
  EXPECT_FALSE(reader.ReadFrame(planes, &parameters));
  EXPECT_TRUE(output.Contents() == stream.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, RoundTripTest,
    ::testing::Values(
        // Tags of every kind, unknown values included, come back unchanged.
        RoundTripCase{"YUV4MPEG2 W33 H17 F25:1 Ip A1:1 C420paldv XCOLORRANGE=FULL", 0, false},
        RoundTripCase{"YUV4MPEG2 W33 H17 F25:1 Ip A1:1 C420paldv XCOLORRANGE=FULL", 13, false},
        RoundTripCase{"YUV4MPEG2 W33 H17 F25:1 Ip A1:1 C420paldv XCOLORRANGE=FULL", 13, true},
        // Odd sizes: chroma rounded up.
        RoundTripCase{"YUV4MPEG2 W1 H1", 0, false}, RoundTripCase{"YUV4MPEG2 W5 H3", 3, true},
        // More rows than one readv or writev takes (IOV_MAX), with and
        // without padding, and more bytes than the reader's buffer.
        RoundTripCase{"YUV4MPEG2 W1920 H1080 F30000:1001 It C420mpeg2", 0, false},
        RoundTripCase{"YUV4MPEG2 W1920 H1080 F30000:1001 It C420mpeg2", 64, false},
        RoundTripCase{"YUV4MPEG2 W1921 H1081  C420jpeg ", 7, true}));

TEST(Y4mWriter, RefusesParametersThatWouldBreakTheStream) {
  const TestStream stream = MakeTestStream("YUV4MPEG2 W4 H2", {""});
  TempFile output;
  Y4mWriter writer(output.fd(), "out.y4m", stream.header);
  const Y4mFrameBuffer frame(stream.header);
  EXPECT_THROW(writer.WriteFrame(frame.views(), "Ib"), std::invalid_argument);
  EXPECT_THROW(writer.WriteFrame(frame.views(), " Ib\nFRAME"), std::invalid_argument);
  EXPECT_EQ(output.Contents(), "YUV4MPEG2 W4 H2\n");
}

}  // namespace
}  // namespace vorlith::testing
