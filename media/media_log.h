// Where the media layer's messages go: FFmpeg's own log and the reader's
// reports of frames that failed to decode, one line at a time.
#pragma once

#include <functional>
#include <string_view>

namespace vorlith::media {

// Receives one line, without its line feed. It may be called from FFmpeg's
// decoding threads, but never from two threads at once.
using MediaLogSink = std::function<void(std::string_view line)>;

}  // namespace vorlith::media
