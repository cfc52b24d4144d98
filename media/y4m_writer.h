// Writes a YUV4MPEG2 stream to a file descriptor: the header line of the
// stream it came from, then each frame's FRAME line and planes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "frame_rows.h"
#include "plane_buffer.h"
#include "y4m_error.h"
#include "y4m_header.h"

namespace vorlith::media {

class Y4mWriter {
 public:
  // Writes header.line and its newline. `output_name` ("stdout" or the file
  // path) begins the message of every Y4mError. The descriptor stays the
  // caller's: the writer never closes it (on Windows it puts it into binary
  // mode). A write to a pipe whose reader has gone raises SIGPIPE unless
  // the process ignores it; then the write fails with EPIPE and that is
  // reported like any other write error, as "Broken pipe" (on Windows,
  // which has no such signal, too).
  Y4mWriter(int fd, std::string output_name, const Y4mHeader& header);

  // Writes "FRAME", `frame_parameters` (as Y4mReader delivers them: empty
  // or beginning with a space, no newline; std::invalid_argument otherwise)
  // and a newline, then the first row_size bytes of every row of the three
  // planes, which must have the sizes the header gives. A write error
  // throws Y4mError, and so does every later call, so that no frame is
  // written after one went missing.
  void WriteFrame(const host::PlaneView planes[host::kPlaneCount],
                  std::string_view frame_parameters);

 private:
  // Writes what rows_ holds.
  void WriteRows();

  int fd_;
  std::string output_name_;
  Y4mHeader header_;
  // The header line or the FRAME line being written, with its newline.
  std::string line_;
  FrameRows rows_;
  std::optional<Y4mError> failure_;
};

}  // namespace vorlith::media
