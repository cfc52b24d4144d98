// Pipes: reads of one byte at a time, writes cut short, calls interrupted
// by signals, and outputs that refuse bytes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include "interrupted_pipes.h"
#include "y4m_frame_buffer.h"
#include "y4m_reader.h"
#include "y4m_streams.h"
#include "y4m_writer.h"

namespace vorlith::testing {
namespace {

using media::Y4mError;
using media::Y4mFrameBuffer;
using media::Y4mReader;
using media::Y4mWriter;

// Everything a reader delivers from `fd`: each frame's parameters and
// planes, and the error that ended it, if any.
struct Delivered {
  std::vector<std::string> parameters;
  std::vector<std::string> planes;
  std::string error;
};

Delivered ReadEverything(int fd) {
  Delivered delivered;
  try {
    Y4mReader reader(fd, "stdin");
    const Y4mFrameBuffer frame(reader.header(), 5);
    std::string parameters;
    while (reader.ReadFrame(frame.planes(), &parameters)) {
      delivered.parameters.push_back(parameters);
      delivered.planes.push_back(PlaneBytes(frame.planes()));
    }
  } catch (const Y4mError& e) {
    delivered.error = e.what();
  }
  return delivered;
}

TEST(Y4mPipe, OneByteReadsGiveWhatAFileGives) {
  const TestStream stream = MakeTestStream("YUV4MPEG2 W33 H17 F24:1 XTAG=1", {" Ib", "", " Xa=b"});
  // The whole stream, and the same stream cut inside its last frame.
  for (const std::string& bytes : {stream.bytes, stream.bytes.substr(0, stream.bytes.size() - 7)}) {
    TempFile file(bytes);
    const Delivered from_file = ReadEverything(file.fd());

    const InterruptingSignal signal;
    const TricklingPipe pipe(bytes);
    const Delivered from_pipe = ReadEverything(pipe.read_fd());

    EXPECT_EQ(from_pipe.parameters, from_file.parameters);
    EXPECT_TRUE(from_pipe.planes == from_file.planes);
    EXPECT_EQ(from_pipe.error, from_file.error);
  }
}

TEST(Y4mPipe, InterruptedShortWritesLoseNoByte) {
  // Frames far larger than the pipe, so that writes block and are cut short.
  const TestStream stream = MakeTestStream("YUV4MPEG2 W1920 H1080 C420jpeg", {"", " Ib", ""});
  TempFile input(stream.bytes);
  Y4mReader reader(input.fd(), "in.y4m");
  const Y4mFrameBuffer frame(reader.header(), 32);

  const InterruptingSignal signal;
  InterruptingDrain drain;
  {
    Y4mWriter writer(drain.write_fd(), "stdout", reader.header());
    std::string parameters;
    while (reader.ReadFrame(frame.planes(), &parameters))
      writer.WriteFrame(frame.views(), parameters);
  }
  EXPECT_TRUE(drain.Finish() == stream.bytes);
}

TEST(Y4mWriteFailure, BrokenPipeNamesTheOutputAndStaysFailed) {
  const IgnoredSigpipe ignored;
  const TestStream stream = MakeTestStream("YUV4MPEG2 W4 H2", {""});
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  Y4mWriter writer(ends[1], "stdout", stream.header);
  close(ends[0]);
  const Y4mFrameBuffer frame(stream.header);
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      writer.WriteFrame(frame.views(), "");
      ADD_FAILURE() << "no error on attempt " << attempt;
    } catch (const Y4mError& e) {
      EXPECT_STREQ(e.what(), "stdout: write failed: Broken pipe");
    }
  }
  close(ends[1]);
}

TEST(Y4mWriteFailure, FullDeviceNamesTheOutput) {
  const int full = open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  try {
    Y4mWriter writer(full, "out.y4m", MakeTestStream("YUV4MPEG2 W4 H2", {}).header);
    ADD_FAILURE() << "no error";
  } catch (const Y4mError& e) {
    EXPECT_STREQ(e.what(), "out.y4m: write failed: No space left on device");
  }
  close(full);
}

}  // namespace
}  // namespace vorlith::testing
