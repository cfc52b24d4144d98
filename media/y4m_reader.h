// Reads a YUV4MPEG2 stream (4:2:0, 8 bits) from a file descriptor, a
// regular file or a pipe, frame by frame into caller-owned planes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "aligned_bytes.h"
#include "frame_rows.h"
#include "frame_stream.h"
#include "plane_buffer.h"
#include "y4m_error.h"
#include "y4m_header.h"

namespace vorlith::media {

class Y4mReader : public FrameStream {
 public:
  // Reads and checks the stream header. `input_name` ("stdin" or the file
  // path) begins the message of every Y4mError. `peeked` are the stream's
  // first bytes, already read from `fd` (to tell what the input is). The
  // descriptor stays the caller's: the reader never closes it (on Windows it
  // puts it into binary mode).
  Y4mReader(int fd, std::string input_name, std::string_view peeked = {});

  const Y4mHeader& header() const override { return header_; }
  // Known for a regular file whose frames all have a bare FRAME line.
  std::int64_t frame_count() const override { return frame_count_; }
  std::int64_t frames_read() const override { return frames_read_; }

  // As FrameStream says; the FRAME parameters are the text between "FRAME"
  // and the newline (empty or beginning with a space). A reader that has
  // failed throws again on every later call and never reports a clean end.
  // Planes whose rows start on 64-byte boundaries and follow each other
  // without padding read fastest: the kernel's copy is slower into
  // misaligned memory, and each separate row costs a little.
  bool ReadFrame(const host::PlaneBuffer planes[host::kPlaneCount],
                 std::string* frame_parameters) override;

 private:
  enum class LineEnd { kComplete, kEndOfInput, kTooLong };

  // Takes the next line from the input. With kComplete `line` is the line
  // without its newline; otherwise it is what came before the end of the
  // input, or the first bytes of a line past kMaxY4mLineBytes.
  LineEnd ReadLine(std::string_view* line);
  // Reads once more into the buffer; false at the end of the input.
  bool Fill();
  // ReadFrame after the planes are checked and ranged in rows_.
  bool ReadNextFrame(std::string* frame_parameters);
  std::string_view ReadHeaderLine();
  // Throws, and keeps, the Y4mError for `problem`.
  [[noreturn]] void Fail(std::string_view problem);
  // "frame <n> (counting from 0)" for the frame being read.
  std::string FrameName() const;

  int fd_;
  std::string input_name_;
  // Header and FRAME lines pass through this buffer; frame data that came
  // along with a line is copied out of it, the rest is read straight into
  // the planes.
  AlignedBytes buffer_;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  Y4mHeader header_;
  FrameRows rows_;
  std::int64_t frame_count_ = 0;
  std::int64_t frames_read_ = 0;
  bool ended_ = false;
  std::optional<Y4mError> failure_;
};

// The number of frames in a regular file that holds `file_bytes` bytes and
// whose frames all have a bare FRAME line, or 0 when that cannot be told.
std::int64_t FramesInY4mFile(const Y4mHeader& header, std::int64_t file_bytes);

}  // namespace vorlith::media
