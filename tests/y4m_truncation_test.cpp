// A stream cut short inside its last frame: the frames before it arrive
// whole, then one error names the frame and the bytes that are missing.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "y4m_frame_buffer.h"
#include "y4m_reader.h"
#include "y4m_streams.h"

namespace vorlith::testing {
namespace {

using media::Y4mError;
using media::Y4mFrameBuffer;
using media::Y4mReader;

struct TruncationCase {
  const char* name;
  std::string header_line;
  std::string last_frame_line;  // as much of the FRAME line as the input holds
  std::int64_t last_frame_bytes;
  std::string message;
};

void PrintTo(const TruncationCase& c, std::ostream* os) { *os << c.name; }

class TruncationTest : public ::testing::TestWithParam<TruncationCase> {};

TEST_P(TruncationTest, DeliversEarlierFramesThenNamesFrameAndMissingBytes) {
  const TruncationCase& c = GetParam();
  const TestStream whole = MakeTestStream(c.header_line, {"", " Ib", ""});
  // The first two frames, then the third (whose FRAME line is "FRAME\n") cut short.
  const std::size_t third_frame_start =
      whole.bytes.size() - static_cast<std::size_t>(whole.header.FrameBytes()) - 6;
  TempFile input(whole.bytes.substr(0, third_frame_start) + c.last_frame_line +
                 whole.frame_planes[2].substr(0, static_cast<std::size_t>(c.last_frame_bytes)));

  Y4mReader reader(input.fd(), "in.y4m");
  const Y4mFrameBuffer frame(reader.header());
  for (int f = 0; f < 2; ++f) {
    ASSERT_TRUE(reader.ReadFrame(frame.planes(), nullptr));
    EXPECT_EQ(PlaneBytes(frame.planes()), whole.frame_planes[f]);
  }
  for (int attempt = 0; attempt < 2; ++attempt) {
    // A failed reader keeps failing; it never reports a clean end.
    try {
      reader.ReadFrame(frame.planes(), nullptr);
      ADD_FAILURE() << "no error on attempt " << attempt;
    } catch (const Y4mError& e) {
      EXPECT_EQ(e.what(), c.message);
    }
  }
}

// 5x3 frames hold 15 + 6 + 6 = 27 bytes of planes.
INSTANTIATE_TEST_SUITE_P(
    Cuts, TruncationTest,
    ::testing::Values(
        TruncationCase{"one byte missing", "YUV4MPEG2 W5 H3", "FRAME\n", 26,
                       "in.y4m: frame 2 (counting from 0) is truncated: 1 of its 27 bytes are "
                       "missing"},
        TruncationCase{"only the FRAME line", "YUV4MPEG2 W5 H3", "FRAME\n", 0,
                       "in.y4m: frame 2 (counting from 0) is truncated: 27 of its 27 bytes are "
                       "missing"},
        TruncationCase{"in the chroma planes", "YUV4MPEG2 W5 H3", "FRAME Ib\n", 18,
                       "in.y4m: frame 2 (counting from 0) is truncated: 9 of its 27 bytes are "
                       "missing"},
        TruncationCase{"FRAME line without newline", "YUV4MPEG2 W5 H3", "FRAME Ib", 0,
                       "in.y4m: frame 2 (counting from 0) is cut short in its FRAME line: at "
                       "least 28 bytes are missing"},
        TruncationCase{"inside the word FRAME", "YUV4MPEG2 W5 H3", "FRA", 0,
                       "in.y4m: frame 2 (counting from 0) is cut short in its FRAME line: at "
                       "least 30 bytes are missing"},
        // A large frame is read straight into the planes, not through the buffer.
        TruncationCase{"large frame", "YUV4MPEG2 W1920 H1080", "FRAME\n", 3110400 - 1000,
                       "in.y4m: frame 2 (counting from 0) is truncated: 1000 of its 3110400 "
                       "bytes are missing"}));

}  // namespace
}  // namespace vorlith::testing
