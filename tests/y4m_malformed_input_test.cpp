// Input that is not a stream this code takes: each gives one line naming
// the input and the fault, and never a frame.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <ostream>
#include <string>

#include "y4m_frame_buffer.h"
#include "y4m_reader.h"
#include "y4m_streams.h"

namespace vorlith::testing {
namespace {

using host::PlaneBuffer;
using media::Y4mError;
using media::Y4mFrameBuffer;
using media::Y4mReader;

struct MalformedCase {
  const char* name;
  std::string input;
  std::string fragment;  // the message must hold this
};

void PrintTo(const MalformedCase& c, std::ostream* os) { *os << c.name; }

// A valid header and one valid frame (8x2: 16 + 4 + 4 bytes of planes).
const std::string kHeader = "YUV4MPEG2 W8 H2\n";
const std::string kFrame = "FRAME\n" + std::string(24, 'x');

// The message of the Y4mError that reading all of `input` throws, or a
// note that none was thrown.
std::string ErrorFromReading(const std::string& input) {
  TempFile file(input);
  try {
    Y4mReader reader(file.fd(), "clip.y4m");
    const Y4mFrameBuffer frame(reader.header());
    while (reader.ReadFrame(frame.planes(), nullptr)) {
    }
  } catch (const Y4mError& e) {
    return e.what();
  }
  return "(no error)";
}

class MalformedInputTest : public ::testing::TestWithParam<MalformedCase> {};

TEST_P(MalformedInputTest, FailsWithOneLineNamingInputAndFault) {
  const MalformedCase& c = GetParam();
  const std::string message = ErrorFromReading(c.input);
  EXPECT_EQ(message.rfind("clip.y4m: ", 0), 0u) << message;
  EXPECT_NE(message.find(c.fragment), std::string::npos) << message;
  EXPECT_EQ(message.find('\n'), std::string::npos) << message;
}

INSTANTIATE_TEST_SUITE_P(
    Headers, MalformedInputTest,
    ::testing::Values(
        MalformedCase{"empty input", "", "empty input, not a YUV4MPEG2 stream"},
        MalformedCase{"other magic", "RIFF$\x01\x02\x03WAVEfmt \n", "not a YUV4MPEG2 stream"},
        MalformedCase{"signature without space", "YUV4MPEG2W8 H2\n", "not a YUV4MPEG2 stream"},
        MalformedCase{"signature alone cut short", "YUV4MPEG", "ends inside its header line"},
        MalformedCase{"binary without newline", std::string(70000, '\xff'),
                      "not a YUV4MPEG2 stream"},
        MalformedCase{"header without newline", "YUV4MPEG2 W8 H2", "ends inside its header line"},
        MalformedCase{"header too long", "YUV4MPEG2 W8 H2 X" + std::string(5000, 'a') + "\n",
                      "header line is longer than 4096 bytes"},
        MalformedCase{"no width", "YUV4MPEG2 H2\n", "no width (W tag)"},
        MalformedCase{"no height", "YUV4MPEG2 W8\n", "no height (H tag)"},
        MalformedCase{"no tags", "YUV4MPEG2\n", "no width"},
        MalformedCase{"zero width", "YUV4MPEG2 W0 H2\n", "malformed width 'W0'"},
        MalformedCase{"negative height", "YUV4MPEG2 W8 H-2\n", "malformed height 'H-2'"},
        MalformedCase{"signed width", "YUV4MPEG2 W+8 H2\n", "malformed width 'W+8'"},
        MalformedCase{"width not a number", "YUV4MPEG2 W8px H2\n", "malformed width 'W8px'"},
        MalformedCase{"width empty", "YUV4MPEG2 W H2\n", "malformed width 'W'"},
        MalformedCase{"width overflowing", "YUV4MPEG2 W99999999999999999999999 H2\n",
                      "width '99999999999999999999999' exceeds the limit of 16384"},
        MalformedCase{"width past limit", "YUV4MPEG2 W16385 H2\n",
                      "width '16385' exceeds the limit of 16384"},
        MalformedCase{"height past limit", "YUV4MPEG2 W8 H16385\n",
                      "height '16385' exceeds the limit of 16384"},
        MalformedCase{"area past limit", "YUV4MPEG2 W16384 H16384\n",
                      "frame size 16384x16384 exceeds the limit of 67108864 luma samples"},
        MalformedCase{"width twice", "YUV4MPEG2 W8 H2 W16\n", "header tag W appears twice"},
        MalformedCase{"rate without denominator", "YUV4MPEG2 W8 H2 F30\n",
                      "malformed frame rate 'F30'"},
        MalformedCase{"rate with zero denominator", "YUV4MPEG2 W8 H2 F30:0\n",
                      "malformed frame rate 'F30:0'"},
        MalformedCase{"rate three parts", "YUV4MPEG2 W8 H2 F30:1:1\n", "malformed frame rate"},
        MalformedCase{"rate overflowing", "YUV4MPEG2 W8 H2 F2147483648:1\n",
                      "malformed frame rate"},
        MalformedCase{"rate negative", "YUV4MPEG2 W8 H2 F-30:1\n", "malformed frame rate"},
        MalformedCase{"aspect half unknown", "YUV4MPEG2 W8 H2 A0:1\n",
                      "malformed pixel aspect 'A0:1'"},
        MalformedCase{"aspect not a ratio", "YUV4MPEG2 W8 H2 A1.0\n",
                      "malformed pixel aspect 'A1.0'"},
        MalformedCase{"interlacing unknown", "YUV4MPEG2 W8 H2 Ix\n",
                      "malformed interlacing 'Ix': expected Ip, It, Ib, Im or I?"},
        MalformedCase{"interlacing empty", "YUV4MPEG2 W8 H2 I\n", "malformed interlacing 'I'"},
        MalformedCase{"interlacing two letters", "YUV4MPEG2 W8 H2 Itb\n",
                      "malformed interlacing 'Itb'"},
        MalformedCase{"colour space 4:2:2", "YUV4MPEG2 W8 H2 C422\n",
                      "colour space 'C422' is not supported: 8-bit 4:2:0 is required (C420jpeg, "
                      "C420mpeg2, C420paldv, C420 or no C tag; convert with: ffmpeg -i INPUT "
                      "-pix_fmt yuv420p -f yuv4mpegpipe -)"},
        MalformedCase{"colour space 4:4:4", "YUV4MPEG2 W8 H2 C444\n", "'C444' is not supported"},
        MalformedCase{"colour space mono", "YUV4MPEG2 W8 H2 Cmono\n", "'Cmono' is not supported"},
        MalformedCase{"colour space 10 bits", "YUV4MPEG2 W8 H2 C420p10\n",
                      "colour space 'C420p10' has 10-bit samples: 8-bit 4:2:0 is required "
                      "(convert with: ffmpeg -i INPUT -pix_fmt yuv420p -f yuv4mpegpipe -)"},
        MalformedCase{"colour space empty", "YUV4MPEG2 W8 H2 C\n", "'C' is not supported"},
        // A tag this reader does not know is no width.
        MalformedCase{"lower-case tag", "YUV4MPEG2 w8 H2\n", "no width (W tag)"},
        MalformedCase{"Windows line end", "YUV4MPEG2 W8 H2\r\n",
                      "the header line ends in a carriage return (Windows line ends?): YUV4MPEG2 "
                      "lines end in a line feed alone"}));

INSTANTIATE_TEST_SUITE_P(
    Frames, MalformedInputTest,
    ::testing::Values(
        MalformedCase{"first frame without FRAME", kHeader + "FRAMX\n" + std::string(24, 'x'),
                      "frame 0 (counting from 0) does not begin with \"FRAME\""},
        MalformedCase{"longer word", kHeader + "FRAMES\n" + std::string(24, 'x'),
                      "frame 0 (counting from 0) does not begin with \"FRAME\""},
        MalformedCase{"empty line after a frame", kHeader + kFrame + "\n",
                      "frame 1 (counting from 0) does not begin with \"FRAME\""},
        MalformedCase{"junk after a frame", kHeader + kFrame + "junk",
                      "frame 1 (counting from 0) does not begin with \"FRAME\""},
        MalformedCase{"frame line too long",
                      kHeader + kFrame + "FRAME X" + std::string(5000, 'a') + "\n",
                      "frame 1 (counting from 0) has a FRAME line longer than 4096 bytes"},
        MalformedCase{"Windows line end", kHeader + kFrame + "FRAME\r\n" + std::string(24, 'x'),
                      "frame 1 (counting from 0): its FRAME line ends in a carriage return "
                      "(Windows line ends?): YUV4MPEG2 lines end in a line feed alone"}));

// Windows cannot open a directory as a descriptor.
#if !defined(_WIN32)
TEST(Y4mReadFailure, NamesTheInputAndTheSystemError) {
  // Reading a directory fails with EISDIR on the first read.
  const int directory = open("/", O_RDONLY | O_DIRECTORY);
  ASSERT_GE(directory, 0);
  try {
    Y4mReader reader(directory, "stdin");
    ADD_FAILURE() << "no error";
  } catch (const Y4mError& e) {
    EXPECT_STREQ(e.what(), "stdin: read failed: Is a directory");
  }
  close(directory);
}
#endif

TEST(Y4mReadFrame, RefusesPlanesOfTheWrongSize) {
  TempFile file(kHeader + kFrame);
  Y4mReader reader(file.fd(), "clip.y4m");
  const Y4mFrameBuffer frame(reader.header());
  PlaneBuffer planes[3] = {frame.plane(0), frame.plane(1), frame.plane(2)};
  planes[1].height = 2;
  EXPECT_THROW(reader.ReadFrame(planes, nullptr), std::invalid_argument);
  planes[1] = frame.plane(1);
  planes[2].pitch = 3;
  EXPECT_THROW(reader.ReadFrame(planes, nullptr), std::invalid_argument);
  // Nothing was taken from the input: the frame is still there.
  EXPECT_TRUE(reader.ReadFrame(frame.planes(), nullptr));
  EXPECT_FALSE(reader.ReadFrame(frame.planes(), nullptr));
}

}  // namespace
}  // namespace vorlith::testing
