// Demuxes one video stream of a file and decodes it: each decoded frame
// once, in the order the decoder outputs them (presentation order), one at
// a time. A packet or frame that fails to decode is reported, counted and
// skipped, and decoding goes on.
#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "descriptor_avio.h"
#include "ffmpeg_log.h"

namespace vorlith::media {

// FFmpeg's text for an error code ("Invalid data found when processing
// input").
std::string FfmpegErrorText(int error);

// The stream's average frame rate, else its base rate; 0/1 when neither is
// known.
AVRational StreamFrameRate(const AVStream& stream);

class FfmpegDecoder {
 public:
  // Reads the container from `input`, picks stream `stream_index` or, when
  // it is empty, the best video stream, and opens its decoder with
  // automatic frame threads. Every fault throws a media::Y4mError
  // "<input_name>: <cause>". Reports of frames that fail to decode go to
  // `log`, which must outlive the decoder.
  FfmpegDecoder(std::unique_ptr<DescriptorInput> input, std::string input_name,
                std::optional<int> stream_index, FfmpegLogRoute& log);
  ~FfmpegDecoder();
  FfmpegDecoder(const FfmpegDecoder&) = delete;
  FfmpegDecoder& operator=(const FfmpegDecoder&) = delete;

  const AVFormatContext& format() const { return *format_; }
  const AVStream& stream() const { return *stream_; }
  const AVCodecContext& codec() const { return *codec_; }
  const std::string& input_name() const { return input_name_; }

  // The next frame, or null at the end of the stream. It stays valid until
  // the next call.
  const AVFrame* NextFrame();
  // Reports a frame that the caller cannot take; it counts as lost.
  void RejectFrame(std::string_view cause);

  // Frames delivered so far, which is also the number of the next one.
  std::int64_t frames_decoded() const { return frames_decoded_; }
  // Packets that decoded to nothing, and frames rejected.
  std::int64_t frames_lost() const { return frames_lost_; }
  // Frames delivered with errors that the decoder concealed.
  std::int64_t frames_damaged() const { return frames_damaged_; }
  // Errors that FFmpeg logged with no lost or damaged frame to show for
  // them, such as a container cut short, whose demuxer ends it as if whole.
  std::int64_t input_errors() const { return input_errors_; }
  // Whether a frame's timestamp strayed by half a frame or more from where
  // the stream's average rate puts it.
  bool rate_varied() const { return rate_varied_; }

 private:
  void Open(std::optional<int> stream_index);
  // Frees what FFmpeg allocated; the decoder's threads stop here, before
  // the input goes.
  void Free();
  // Reads packets until one of the stream reaches the decoder, or starts
  // draining it at the end of the input.
  void SendNextPacket();
  void CheckTiming(const AVFrame& frame);
  // Reports the errors that FFmpeg logged since the last call, unless a
  // report of a lost or damaged frame was made since then.
  void CheckLoggedErrors();
  // A report line for the frame about to be decoded; after the tenth only
  // a count is kept, told when the stream ends.
  void Report(std::string_view what);

  std::unique_ptr<DescriptorInput> input_;
  std::string input_name_;
  FfmpegLogRoute& log_;
  AVFormatContext* format_ = nullptr;
  AVStream* stream_ = nullptr;
  AVCodecContext* codec_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  bool draining_ = false;
  bool ended_ = false;
  std::int64_t frames_decoded_ = 0;
  std::int64_t frames_lost_ = 0;
  std::int64_t frames_damaged_ = 0;
  std::int64_t input_errors_ = 0;
  std::int64_t reports_ = 0;
  std::int64_t reports_checked_ = 0;
  std::int64_t errors_logged_ = 0;
  // The timestamp of the last frame delivered and the frame duration the
  // average rate gives, in the stream's time base; 0 where unknown.
  std::int64_t last_timestamp_ = AV_NOPTS_VALUE;
  std::int64_t frame_duration_ = 0;
  bool rate_varied_ = false;
};

}  // namespace vorlith::media
