// Routes FFmpeg's log to a MediaLogSink while a route is alive.
//
// FFmpeg has one log callback for the whole process (av_log_set_callback),
// and its decoding threads call it too. So a route installs our callback
// when it is made and, when it ends, gives the log back to the route made
// before it, or to FFmpeg's default callback when it was the first. Routes
// therefore nest and must end in the reverse order of their making (as
// locals and members do); the sink must outlive its route. A reader makes
// one for its own life, declared before its decoder so that the decoder's
// threads have stopped before the route ends.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "media_log.h"

namespace vorlith::media {

class FfmpegLogRoute {
 public:
  // Lines at FFmpeg's error level and worse, or with `warnings` from the
  // warning level on (as `ffmpeg -v error` and `-v warning` show them).
  // An empty sink drops them.
  FfmpegLogRoute(MediaLogSink sink, bool warnings);
  ~FfmpegLogRoute();
  FfmpegLogRoute(const FfmpegLogRoute&) = delete;
  FfmpegLogRoute& operator=(const FfmpegLogRoute&) = delete;

  // Passes one line to the sink under the same lock as FFmpeg's lines, so
  // that the reader's own messages never interleave with them.
  void Write(std::string_view line);

  // How many of FFmpeg's log calls came at its error level or worse since
  // the route was made: the demuxers' only word on a cut-short or damaged
  // container, which they end as if it were whole.
  std::int64_t errors_logged() const;

 private:
  friend struct FfmpegLogState;

  MediaLogSink sink_;
  int max_level_;
  std::int64_t errors_logged_ = 0;
  FfmpegLogRoute* previous_;
  // FFmpeg hands over a line in pieces; this holds the pieces of the line
  // not yet ended, and whether the next piece begins a line.
  std::string pending_;
  int print_prefix_ = 1;
};

}  // namespace vorlith::media
