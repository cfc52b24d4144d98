// A stream of 8-bit 4:2:0 frames, read in order into caller-owned planes:
// a YUV4MPEG2 stream (Y4mReader) or the video of any file that FFmpeg's
// libraries decode (FfmpegReader). A source clip reads either alike.
#pragma once

#include <cstdint>
#include <string>

#include "plane_buffer.h"
#include "y4m_header.h"

namespace vorlith::media {

class FrameStream {
 public:
  virtual ~FrameStream() = default;

  // The stream's header line as a y4m copy of it begins: what the writer
  // writes back, and where the frame size and rate come from.
  virtual const Y4mHeader& header() const = 0;
  // The frames in the stream when its file tells, else 0.
  virtual std::int64_t frame_count() const = 0;
  // The frames delivered so far, which is also the 0-based number of the
  // next frame.
  virtual std::int64_t frames_read() const = 0;
  // Reads the next frame into `planes`, which must have the sizes that
  // header() gives (std::invalid_argument otherwise), and its FRAME line's
  // parameters into `frame_parameters` unless that is null (empty where the
  // stream has none). Returns false at the end of the stream; a fault
  // throws Y4mError.
  virtual bool ReadFrame(const host::PlaneBuffer planes[host::kPlaneCount],
                         std::string* frame_parameters) = 0;

  // What went wrong in a stream that is decoded, which goes on past damage:
  // frames that could not be decoded and are missing, frames decoded with
  // errors that the decoder concealed, and faults of the file that no frame
  // shows (a container cut short). All 0 for a stream that is only read.
  struct Damage {
    std::int64_t frames_lost = 0;
    std::int64_t frames_damaged = 0;
    std::int64_t file_errors = 0;
    bool any() const { return frames_lost > 0 || frames_damaged > 0 || file_errors > 0; }
  };
  virtual Damage damage() const { return {}; }
  // Whether the frames' times strayed from the stream's average rate, which
  // header() gives.
  virtual bool rate_varied() const { return false; }
};

}  // namespace vorlith::media
