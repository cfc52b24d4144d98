#include "y4m_reader.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "stop_request.h"
#include "system_error_text.h"
#include "y4m_text.h"

namespace vorlith::media {
namespace {

// Large enough for the longest line and the frame data that follows it in
// one read; small enough that copying that data out costs little next to
// the frame read straight into the planes.
constexpr std::size_t kBufferBytes = 64 * 1024;
static_assert(kBufferBytes > kMaxY4mLineBytes + 1);

std::string ReadFailure(const platform::SystemError& error) {
  return "read failed: " + platform::SystemErrorText(error);
}

}  // namespace

Y4mReader::Y4mReader(int fd, std::string input_name, std::string_view peeked)
    : fd_(fd), input_name_(std::move(input_name)), buffer_(kBufferBytes) {
  platform::UseBinaryMode(fd_);
  end_ = std::min(peeked.size(), kBufferBytes);
  if (end_ > 0) std::memcpy(buffer_.data(), peeked.data(), end_);
  header_ = ParseY4mHeader(ReadHeaderLine(), input_name_);
  struct stat status {};
  if (fstat(fd_, &status) == 0 && S_ISREG(status.st_mode)) {
    frame_count_ = FramesInY4mFile(header_, status.st_size);
  }
}

bool Y4mReader::ReadFrame(const host::PlaneBuffer planes[host::kPlaneCount],
                          std::string* frame_parameters) {
  if (failure_) throw *failure_;
  // Checked before any input is taken, so that a caller's mistake loses no frame.
  rows_.Clear();
  rows_.AppendPlanes(header_, planes);
  if (ended_) return false;
  return ReadNextFrame(frame_parameters);
}

bool Y4mReader::ReadNextFrame(std::string* frame_parameters) {
  std::string_view line;
  const LineEnd end = ReadLine(&line);
  if (end == LineEnd::kEndOfInput && line.empty()) {
    ended_ = true;
    return false;
  }
  const std::int64_t frame_bytes = header_.FrameBytes();
  if (end == LineEnd::kComplete && !line.empty() && line.back() == '\r') {
    Fail(FrameName() + ": its FRAME line " + std::string(kEndsInCarriageReturn));
  }
  if (!CanBeginLineWith(line, kFrameWord) ||
      (end == LineEnd::kComplete && line.size() < kFrameWord.size())) {
    Fail(FrameName() + " does not begin with \"FRAME\"");
  }
  if (end == LineEnd::kEndOfInput) {
    const std::size_t word_left =
        line.size() < kFrameWord.size() ? kFrameWord.size() - line.size() : 0;
    Fail(FrameName() + " is cut short in its FRAME line: at least " +
         std::to_string(word_left + 1 + frame_bytes) + " bytes are missing");
  }
  if (end == LineEnd::kTooLong) {
    Fail(FrameName() + " has a FRAME line longer than " + std::to_string(kMaxY4mLineBytes) +
         " bytes");
  }
  if (frame_parameters != nullptr) frame_parameters->assign(line.substr(kFrameWord.size()));

  begin_ += rows_.CopyFrom(buffer_.data() + begin_, end_ - begin_);
  const TransferResult read = rows_.Transfer(fd_, platform::ReadRanges, OnSignal::kStopIfRequested);
  if (read.error.number != 0) Fail(ReadFailure(read.error));
  if (rows_.PendingBytes() > 0) {
    Fail(FrameName() + " is truncated: " + std::to_string(rows_.PendingBytes()) + " of its " +
         std::to_string(frame_bytes) + " bytes are missing");
  }
  ++frames_read_;
  return true;
}

std::string_view Y4mReader::ReadHeaderLine() {
  std::string_view line;
  const LineEnd end = ReadLine(&line);
  if (end == LineEnd::kEndOfInput && line.empty()) Fail("empty input, not a YUV4MPEG2 stream");
  if (!CanBeginLineWith(line, kY4mSignature)) Fail(kNotY4mStream);
  if (end == LineEnd::kEndOfInput) Fail("the input ends inside its header line");
  if (end == LineEnd::kTooLong) {
    Fail("the header line is longer than " + std::to_string(kMaxY4mLineBytes) + " bytes");
  }
  return line;
}

Y4mReader::LineEnd Y4mReader::ReadLine(std::string_view* line) {
  std::size_t searched = 0;  // bytes from begin_ known to hold no newline
  for (;;) {
    const char* start = reinterpret_cast<const char*>(buffer_.data() + begin_);
    const std::size_t available = end_ - begin_;
    if (const void* newline = std::memchr(start + searched, '\n', available - searched)) {
      const std::size_t length =
          static_cast<std::size_t>(static_cast<const char*>(newline) - start);
      *line = {start, length};
      begin_ += length + 1;
      return length > kMaxY4mLineBytes ? LineEnd::kTooLong : LineEnd::kComplete;
    }
    searched = available;
    if (available > kMaxY4mLineBytes) {
      *line = {start, available};
      return LineEnd::kTooLong;
    }
    if (!Fill()) {
      *line = {reinterpret_cast<const char*>(buffer_.data()), end_};
      begin_ = end_;
      return LineEnd::kEndOfInput;
    }
  }
}

bool Y4mReader::Fill() {
  // Moves the unread bytes to the front first, so that a whole line fits.
  std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
  end_ -= begin_;
  begin_ = 0;
  for (;;) {
    const ssize_t got = read(fd_, buffer_.data() + end_, kBufferBytes - end_);
    if (got < 0 && errno == EINTR && platform::StopRequested() == 0) continue;
    if (got < 0) Fail(ReadFailure(platform::LastSystemError()));
    end_ += static_cast<std::size_t>(got);
    return got > 0;
  }
}

void Y4mReader::Fail(std::string_view problem) {
  failure_.emplace(input_name_, problem);
  throw *failure_;
}

std::string Y4mReader::FrameName() const {
  return "frame " + std::to_string(frames_read_) + " (counting from 0)";
}

std::int64_t FramesInY4mFile(const Y4mHeader& header, std::int64_t file_bytes) {
  const std::int64_t data = file_bytes - static_cast<std::int64_t>(header.line.size()) - 1;
  const std::int64_t per_frame = header.FrameBytes() + 6;  // "FRAME\n"
  if (data < 0 || per_frame <= 6 || data % per_frame != 0) return 0;
  return data / per_frame;
}

}  // namespace vorlith::media
