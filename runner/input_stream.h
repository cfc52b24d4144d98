// framehost's INPUT as a stream of frames: YUV4MPEG2 when it begins with
// "YUV4MPEG" (a file or standard input) or its name ends in .y4m, else any
// video file that FFmpeg's libraries decode, where this build has them.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "frame_stream.h"
#include "media_log.h"

namespace vorlith::runner {

struct InputOptions {
  std::optional<int> stream_index;  // --stream; the best video stream when empty
  bool convert_to_yv12 = false;     // --to-yv12
  bool verbose = false;             // --verbose: FFmpeg's warnings too
  media::MediaLogSink log;          // FFmpeg's log and the decoder's reports
};

// Reads the input's first bytes from `fd` to tell what it is, and opens it.
// `input_name` begins every message. Throws a one-line std::runtime_error
// (media::Y4mError) when the input cannot be read as video.
std::unique_ptr<media::FrameStream> OpenFrameStream(int fd, const std::string& input_name,
                                                    const InputOptions& options);

}  // namespace vorlith::runner
