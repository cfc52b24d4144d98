#include "ffmpeg_log.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstdarg>
#include <mutex>
#include <utility>

namespace vorlith::media {

// The route that FFmpeg's callback writes to, and the lock that orders its
// lines; shared by every route of the process.
struct FfmpegLogState {
  static std::mutex& Mutex() {
    static std::mutex mutex;
    return mutex;
  }
  static FfmpegLogRoute*& Current() {
    static FfmpegLogRoute* current = nullptr;
    return current;
  }

  static void Callback(void* object, int level, const char* format, std::va_list args) {
    const std::lock_guard<std::mutex> lock(Mutex());
    FfmpegLogRoute* route = Current();
    // The lower bits are the level; FFmpeg may put a colour above them.
    if (route == nullptr || (level & 0xff) > route->max_level_) return;
    if ((level & 0xff) <= AV_LOG_ERROR) ++route->errors_logged_;
    char piece[4096];
    av_log_format_line2(object, level, format, args, piece, sizeof piece, &route->print_prefix_);
    route->pending_ += piece;
    std::size_t end;
    while ((end = route->pending_.find('\n')) != std::string::npos) {
      EmitLine(*route, std::string_view(route->pending_).substr(0, end));
      route->pending_.erase(0, end + 1);
    }
  }

  // The line with any other control character made visible, so that it
  // stays one line whatever the input's bytes were.
  static void EmitLine(FfmpegLogRoute& route, std::string_view line) {
    if (!route.sink_) return;
    std::string clean(line);
    for (char& c : clean) {
      if (static_cast<unsigned char>(c) < 0x20 && c != '\t') c = '?';
    }
    // An exception must not unwind through FFmpeg's C frames.
    try {
      route.sink_(clean);
    } catch (...) {
    }
  }
};

FfmpegLogRoute::FfmpegLogRoute(MediaLogSink sink, bool warnings)
    : sink_(std::move(sink)), max_level_(warnings ? AV_LOG_WARNING : AV_LOG_ERROR) {
  const std::lock_guard<std::mutex> lock(FfmpegLogState::Mutex());
  previous_ = FfmpegLogState::Current();
  FfmpegLogState::Current() = this;
  av_log_set_callback(FfmpegLogState::Callback);
}

FfmpegLogRoute::~FfmpegLogRoute() {
  const std::lock_guard<std::mutex> lock(FfmpegLogState::Mutex());
  if (!pending_.empty()) FfmpegLogState::EmitLine(*this, pending_);
  FfmpegLogState::Current() = previous_;
  if (previous_ == nullptr) av_log_set_callback(av_log_default_callback);
}

std::int64_t FfmpegLogRoute::errors_logged() const {
  const std::lock_guard<std::mutex> lock(FfmpegLogState::Mutex());
  return errors_logged_;
}

void FfmpegLogRoute::Write(std::string_view line) {
  const std::lock_guard<std::mutex> lock(FfmpegLogState::Mutex());
  FfmpegLogState::EmitLine(*this, line);
}

}  // namespace vorlith::media
