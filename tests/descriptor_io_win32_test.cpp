// Windows' ranged reads and writes through a pipe, which hands over only
// what it holds at the time: ranges small (moved through the staging
// buffer) and large (moved in place), with gaps between them, arrive in
// order, in place, and leave the gaps alone. A pipe whose reader has gone
// fails the writer with the words a user knows.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <io.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "frame_rows.h"
#include "y4m_error.h"
#include "y4m_frame_buffer.h"
#include "y4m_streams.h"
#include "y4m_writer.h"

namespace vorlith::testing {
namespace {

using media::FrameRows;
using media::TransferResult;
using platform::ReadRanges;
using platform::WriteRanges;

constexpr char kGap = '\xee';

struct Range {
  std::size_t offset;
  std::size_t size;
};

// Rows with padding, a plane without, the staging buffer's size and one
// byte less, and rows of a few bytes.
std::vector<Range> MixedRanges() {
  std::vector<Range> ranges;
  std::size_t at = 0;
  const auto add = [&](std::size_t size, std::size_t gap) {
    ranges.push_back({at, size});
    at += size + gap;
  };
  for (int row = 0; row < 700; ++row) add(720, 48);
  add(200000, 16);
  add(65536, 1);
  add(65535, 1);
  for (int row = 0; row < 5; ++row) add(5, 3);
  return ranges;
}

std::size_t Extent(const std::vector<Range>& ranges) {
  return ranges.back().offset + ranges.back().size;
}

// The bytes of the stream, in order.
std::string StreamBytes(const std::vector<Range>& ranges) {
  std::string stream;
  for (const Range& range : ranges) {
    for (std::size_t i = 0; i < range.size; ++i) {
      stream += static_cast<char>((stream.size() * 7 + stream.size() / 251) % 251);
    }
  }
  return stream;
}

FrameRows RowsOver(std::vector<char>& memory, const std::vector<Range>& ranges) {
  FrameRows rows;
  for (const Range& range : ranges) rows.Append(memory.data() + range.offset, range.size);
  return rows;
}

class Pipe {
 public:
  // A small pipe: most reads and writes of a frame come short.
  Pipe() {
    int ends[2];
    if (_pipe(ends, 4096, _O_BINARY) != 0) throw std::runtime_error("_pipe failed");
    read_fd = ends[0];
    write_fd = ends[1];
  }
  ~Pipe() {
    CloseWriteEnd();
    CloseReadEnd();
  }
  void CloseWriteEnd() {
    if (write_fd >= 0) _close(write_fd);
    write_fd = -1;
  }
  void CloseReadEnd() {
    if (read_fd >= 0) _close(read_fd);
    read_fd = -1;
  }

  int read_fd;
  int write_fd;
};

TEST(DescriptorIo, ReadsThroughAPipeLandInPlace) {
  const std::vector<Range> ranges = MixedRanges();
  const std::string stream = StreamBytes(ranges);
  Pipe pipe;
  std::thread feeder([&] {
    // Pieces of every size, so that reads end inside ranges of every kind.
    const std::size_t pieces[] = {1, 7, 719, 4093, 70001, 3};
    for (std::size_t at = 0, i = 0; at < stream.size(); ++i) {
      const std::size_t piece = std::min(pieces[i % std::size(pieces)], stream.size() - at);
      if (_write(pipe.write_fd, stream.data() + at, static_cast<unsigned>(piece)) <= 0) break;
      at += piece;
    }
    pipe.CloseWriteEnd();
  });

  std::vector<char> memory(Extent(ranges), kGap);
  FrameRows rows = RowsOver(memory, ranges);
  const TransferResult read =
      rows.Transfer(pipe.read_fd, ReadRanges, media::OnSignal::kStopIfRequested);
  feeder.join();

  EXPECT_EQ(read.error.number, 0);
  EXPECT_EQ(read.bytes, stream.size());
  std::string landed;
  std::size_t gap_bytes_changed = 0;
  for (std::size_t r = 0; r < ranges.size(); ++r) {
    landed.append(memory.data() + ranges[r].offset, ranges[r].size);
    const std::size_t gap_end = r + 1 < ranges.size() ? ranges[r + 1].offset : memory.size();
    for (std::size_t at = ranges[r].offset + ranges[r].size; at < gap_end; ++at) {
      gap_bytes_changed += memory[at] != kGap;
    }
  }
  EXPECT_TRUE(landed == stream);
  EXPECT_EQ(gap_bytes_changed, 0u);
}

TEST(DescriptorIo, WritesThroughAPipeArriveInOrder) {
  const std::vector<Range> ranges = MixedRanges();
  const std::string stream = StreamBytes(ranges);
  std::vector<char> memory(Extent(ranges), kGap);
  for (std::size_t r = 0, at = 0; r < ranges.size(); at += ranges[r].size, ++r) {
    stream.copy(memory.data() + ranges[r].offset, ranges[r].size, at);
  }
  Pipe pipe;
  std::string arrived;
  std::thread drain([&] {
    char chunk[1000];  // smaller than most writes, so they come short
    for (int got; (got = _read(pipe.read_fd, chunk, sizeof chunk)) > 0;) arrived.append(chunk, got);
  });

  FrameRows rows = RowsOver(memory, ranges);
  const TransferResult written = rows.Transfer(pipe.write_fd, WriteRanges, media::OnSignal::kGoOn);
  pipe.CloseWriteEnd();
  drain.join();

  EXPECT_EQ(written.error.number, 0);
  EXPECT_EQ(written.bytes, stream.size());
  EXPECT_TRUE(arrived == stream);
}

// The C runtime's errno for it is EINVAL ("Invalid argument"), which a
// Windows error code 22 would read as "Bad command"; the Windows error
// behind it is ERROR_NO_DATA.
TEST(Y4mWriteFailure, AClosedPipeReadsAsABrokenPipeAndStaysFailed) {
  const TestStream stream = MakeTestStream("YUV4MPEG2 W4 H2", {""});
  Pipe pipe;
  media::Y4mWriter writer(pipe.write_fd, "stdout", stream.header);
  pipe.CloseReadEnd();
  const media::Y4mFrameBuffer frame(stream.header);
  for (int attempt = 0; attempt < 2; ++attempt) {
    try {
      writer.WriteFrame(frame.views(), "");
      ADD_FAILURE() << "no error on attempt " << attempt;
    } catch (const media::Y4mError& e) {
      EXPECT_STREQ(e.what(), "stdout: write failed: Broken pipe");
    }
  }
}

}  // namespace
}  // namespace vorlith::testing
