// Reads the video of any file that FFmpeg's libraries decode, frame by
// frame into caller-owned 8-bit 4:2:0 planes, as Y4mReader does for
// YUV4MPEG2. Frames are numbered from 0 in the order the decoder outputs
// them (presentation order), each decoded frame exactly once; one frame is
// decoded at a time, so memory does not grow with the clip's length.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "frame_stream.h"
#include "media_log.h"
#include "plane_buffer.h"
#include "y4m_error.h"
#include "y4m_header.h"

namespace vorlith::media {

struct FfmpegReaderOptions {
  // The stream's index in the file; empty for the best video stream.
  std::optional<int> stream_index;
  // Other pixel formats than 8-bit 4:2:0 (yuv420p, yuvj420p) are refused
  // unless they may be converted with libswscale.
  bool convert_to_yv12 = false;
  // FFmpeg's own log (errors, with `verbose` warnings too) and the reports
  // of frames that fail to decode; see ffmpeg_log.h for how FFmpeg's global
  // log callback is routed while the reader is open.
  MediaLogSink log;
  bool verbose = false;
};

// What the stream says of itself and of its first frame.
struct VideoStreamInfo {
  int stream_index = 0;
  std::string codec;         // FFmpeg's name, such as "h264"
  std::string pixel_format;  // as decoded, such as "yuv420p10le"
  bool converted = false;    // pixel_format is converted to yuv420p
  std::int32_t width = 0;
  std::int32_t height = 0;
  Y4mRatio frame_rate;     // average, else base rate; 0:0 unknown
  Y4mRatio sample_aspect;  // 0:0 unknown
  // From the first frame's interlaced and top-field-first flags, as the
  // ffmpeg program takes it for its y4m output (a container's own word can
  // be wrong: H.264 in Matroska is said to be progressive).
  Y4mInterlacing field_order = Y4mInterlacing::kProgressive;
  // The container's count; 0 where it does not know.
  std::int64_t frame_count = 0;
};

class FfmpegReader : public FrameStream {
 public:
  // Opens and reads the file at `path`. Every fault at open (a file that
  // cannot be opened or holds no video stream, an unknown codec, a refused
  // pixel format, a stream that decodes to no frame) throws a
  // media::Y4mError "<path>: <cause>". The first frame is decoded here.
  FfmpegReader(const std::string& path, FfmpegReaderOptions options);
  // The same for a descriptor (framehost's "-") whose first bytes `peeked`
  // were already read; `input_name` begins every message. The descriptor
  // stays the caller's.
  FfmpegReader(int fd, std::string_view peeked, std::string input_name,
               FfmpegReaderOptions options);
  ~FfmpegReader() override;
  FfmpegReader(const FfmpegReader&) = delete;
  FfmpegReader& operator=(const FfmpegReader&) = delete;

  const VideoStreamInfo& info() const;
  // For the y4m writer: the header line that `ffmpeg -i FILE -f
  // yuv4mpegpipe -` writes for the stream (with -pix_fmt yuv420p where
  // the frames are converted), parsed.
  const Y4mHeader& header() const override;
  // The container's count, 0 where it does not know.
  std::int64_t frame_count() const override;
  std::int64_t frames_read() const override;

  // Decodes the next frame into `planes`, as FrameStream says; a video file
  // has no FRAME parameters. A packet or frame that fails to decode
  // mid-stream is reported to the log (the first ten with the frame number
  // and FFmpeg's text, then a count when the stream ends) and skipped.
  bool ReadFrame(const host::PlaneBuffer planes[host::kPlaneCount],
                 std::string* frame_parameters) override;

  // Frames that failed to decode (or could not be read) and were skipped.
  std::int64_t frames_lost() const;
  // Frames delivered with errors that the decoder concealed.
  std::int64_t frames_damaged() const;
  // Errors that FFmpeg logged with no lost or damaged frame to show for
  // them: a container cut short or damaged, which its demuxer ends as if it
  // were whole (frames after the damage are missing then).
  std::int64_t input_errors() const;
  // Whether the frames' timestamps strayed from the average rate.
  bool rate_varied() const override;
  Damage damage() const override { return {frames_lost(), frames_damaged(), input_errors()}; }

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace vorlith::media
