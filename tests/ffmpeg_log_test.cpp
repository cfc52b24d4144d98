// FFmpeg's log as the media layer routes it: whole lines at the chosen
// level, to the newest route, and back to the one before when it ends.
#include <gtest/gtest.h>

extern "C" {
#include <libavutil/log.h>
}

#include <string>
#include <vector>

#include "ffmpeg_log.h"

namespace vorlith::testing {
namespace {

using media::FfmpegLogRoute;

struct Lines {
  std::vector<std::string> lines;
  media::MediaLogSink Sink() {
    return [this](std::string_view line) { lines.emplace_back(line); };
  }
};

TEST(FfmpegLogRoute, PassesWholeLinesAtItsLevel) {
  Lines errors_only;
  Lines with_warnings;
  {
    FfmpegLogRoute outer(errors_only.Sink(), false);
    av_log(nullptr, AV_LOG_ERROR, "cut ");
    av_log(nullptr, AV_LOG_ERROR, "in %d pieces\n", 3);
    av_log(nullptr, AV_LOG_WARNING, "a warning\n");
    av_log(nullptr, AV_LOG_INFO, "information\n");
    {
      FfmpegLogRoute inner(with_warnings.Sink(), true);
      av_log(nullptr, AV_LOG_WARNING, "a warning\n");
      av_log(nullptr, AV_LOG_FATAL, "bad\rbytes\n");
      inner.Write("our own line");
      EXPECT_EQ(inner.errors_logged(), 1);
    }
    av_log(nullptr, AV_LOG_ERROR, "after the inner route\n");
    EXPECT_EQ(outer.errors_logged(), 3);
  }
  EXPECT_EQ(errors_only.lines,
            (std::vector<std::string>{"cut in 3 pieces", "after the inner route"}));
  EXPECT_EQ(with_warnings.lines,
            (std::vector<std::string>{"a warning", "bad?bytes", "our own line"}));

  // With no route left, FFmpeg's default callback is back: nothing reaches
  // the sinks.
  av_log_set_level(AV_LOG_QUIET);
  av_log(nullptr, AV_LOG_ERROR, "unrouted\n");
  av_log_set_level(AV_LOG_INFO);
  EXPECT_EQ(errors_only.lines.size(), 2u);
}

}  // namespace
}  // namespace vorlith::testing
