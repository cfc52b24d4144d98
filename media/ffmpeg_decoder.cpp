#include "ffmpeg_decoder.h"

extern "C" {
#include <libavutil/error.h>
}

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <new>
#include <utility>

#include "y4m_error.h"

namespace vorlith::media {
namespace {

// Report lines for frames that fail to decode before only a count is kept.
constexpr std::int64_t kMaxReports = 10;

}  // namespace

std::string FfmpegErrorText(int error) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(error, text, sizeof text);
  return text;
}

AVRational StreamFrameRate(const AVStream& stream) {
  if (stream.avg_frame_rate.num > 0 && stream.avg_frame_rate.den > 0) return stream.avg_frame_rate;
  if (stream.r_frame_rate.num > 0 && stream.r_frame_rate.den > 0) return stream.r_frame_rate;
  return {0, 1};
}

FfmpegDecoder::FfmpegDecoder(std::unique_ptr<DescriptorInput> input, std::string input_name,
                             std::optional<int> stream_index, FfmpegLogRoute& log)
    : input_(std::move(input)), input_name_(std::move(input_name)), log_(log) {
  // The destructor does not run for a constructor that throws.
  try {
    Open(stream_index);
  } catch (...) {
    Free();
    throw;
  }
}

void FfmpegDecoder::Open(std::optional<int> stream_index) {
  const auto fail = [&](const std::string& cause) { throw media::Y4mError(input_name_, cause); };

  format_ = avformat_alloc_context();
  packet_ = av_packet_alloc();
  frame_ = av_frame_alloc();
  if (format_ == nullptr || packet_ == nullptr || frame_ == nullptr) throw std::bad_alloc();
  format_->pb = input_->context();
  format_->flags |= AVFMT_FLAG_CUSTOM_IO;
  // The name only guides the guess of the format (by its extension).
  int result = avformat_open_input(&format_, input_name_.c_str(), nullptr, nullptr);
  if (result < 0) fail(FfmpegErrorText(result));  // the context is freed already
  result = avformat_find_stream_info(format_, nullptr);
  if (result < 0) fail(FfmpegErrorText(result));

  const int streams = static_cast<int>(format_->nb_streams);
  if (stream_index) {
    if (*stream_index < 0 || *stream_index >= streams) {
      fail("there is no stream " + std::to_string(*stream_index) + ": the file has " +
           std::to_string(streams) + " (numbered from 0)");
    }
    const AVMediaType type = format_->streams[*stream_index]->codecpar->codec_type;
    if (type != AVMEDIA_TYPE_VIDEO) {
      const char* name = av_get_media_type_string(type);
      fail("stream " + std::to_string(*stream_index) + " is " + (name ? name : "of unknown type") +
           ", not video");
    }
    result = *stream_index;
  } else {
    result = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (result == AVERROR_STREAM_NOT_FOUND) fail("no video stream");
    if (result < 0) fail(FfmpegErrorText(result));
  }
  stream_ = format_->streams[result];
  for (int s = 0; s < streams; ++s) {
    if (s != stream_->index) format_->streams[s]->discard = AVDISCARD_ALL;
  }

  const AVCodecParameters& parameters = *stream_->codecpar;
  const AVCodec* decoder = avcodec_find_decoder(parameters.codec_id);
  if (decoder == nullptr) {
    fail("stream " + std::to_string(stream_->index) + ": no decoder for codec " +
         avcodec_get_name(parameters.codec_id));
  }
  codec_ = avcodec_alloc_context3(decoder);
  if (codec_ == nullptr) throw std::bad_alloc();
  result = avcodec_parameters_to_context(codec_, &parameters);
  if (result < 0) fail(FfmpegErrorText(result));
  codec_->pkt_timebase = stream_->time_base;
  codec_->thread_count = 0;  // as many as the machine has cores
  result = avcodec_open2(codec_, decoder, nullptr);
  if (result < 0) {
    fail("stream " + std::to_string(stream_->index) + ": cannot open the " + decoder->name +
         " decoder: " + FfmpegErrorText(result));
  }

  const AVRational rate = StreamFrameRate(*stream_);
  if (rate.num > 0) frame_duration_ = av_rescale_q(1, av_inv_q(rate), stream_->time_base);
}

FfmpegDecoder::~FfmpegDecoder() { Free(); }

void FfmpegDecoder::Free() {
  // The decoder's threads stop here, before the input goes.
  avcodec_free_context(&codec_);
  avformat_close_input(&format_);
  avformat_free_context(format_);  // when open_input was never reached
  av_packet_free(&packet_);
  av_frame_free(&frame_);
}

const AVFrame* FfmpegDecoder::NextFrame() {
  av_frame_unref(frame_);
  while (!ended_) {
    const int result = avcodec_receive_frame(codec_, frame_);
    if (result == 0) {
      if (frame_->decode_error_flags != 0 || (frame_->flags & AV_FRAME_FLAG_CORRUPT)) {
        Report("decoded with errors, which the decoder concealed");
        ++frames_damaged_;
      }
      CheckTiming(*frame_);
      CheckLoggedErrors();
      ++frames_decoded_;
      return frame_;
    }
    if (result == AVERROR_EOF || (result == AVERROR(EAGAIN) && draining_)) {
      ended_ = true;
    } else if (result == AVERROR(EAGAIN)) {
      SendNextPacket();
    } else {
      Report("cannot decode: " + FfmpegErrorText(result));
      ++frames_lost_;
      last_timestamp_ = AV_NOPTS_VALUE;
    }
  }
  CheckLoggedErrors();
  if (reports_ > kMaxReports) {
    log_.Write(input_name_ + ": " + std::to_string(reports_ - kMaxReports) +
               " more decoding errors not shown");
  }
  reports_ = std::min(reports_, kMaxReports);  // told once
  reports_checked_ = reports_;
  return nullptr;
}

void FfmpegDecoder::CheckLoggedErrors() {
  const std::int64_t logged = log_.errors_logged();
  if (logged > errors_logged_ && reports_ == reports_checked_) {
    Report("FFmpeg reported an error in the input (its message is above)");
    ++input_errors_;
  }
  errors_logged_ = logged;
  reports_checked_ = reports_;
}

void FfmpegDecoder::SendNextPacket() {
  for (;;) {
    int result = av_read_frame(format_, packet_);
    if (result < 0) {
      if (result != AVERROR_EOF) {
        // What the container still held cannot be reached: that is damage
        // as much as a packet that does not decode.
        Report("cannot read further: " + FfmpegErrorText(result));
        ++frames_lost_;
      }
      draining_ = true;
      avcodec_send_packet(codec_, nullptr);
      return;
    }
    if (packet_->stream_index != stream_->index) {
      av_packet_unref(packet_);
      continue;
    }
    result = avcodec_send_packet(codec_, packet_);
    av_packet_unref(packet_);
    if (result < 0) {
      Report("cannot decode a packet: " + FfmpegErrorText(result));
      ++frames_lost_;
      last_timestamp_ = AV_NOPTS_VALUE;
    }
    return;
  }
}

void FfmpegDecoder::RejectFrame(std::string_view cause) {
  // The frame was counted as delivered; it takes its number back.
  --frames_decoded_;
  Report(cause);
  ++frames_lost_;
  last_timestamp_ = AV_NOPTS_VALUE;
}

void FfmpegDecoder::CheckTiming(const AVFrame& frame) {
  const std::int64_t timestamp = frame.best_effort_timestamp;
  if (frame_duration_ > 0 && timestamp != AV_NOPTS_VALUE && last_timestamp_ != AV_NOPTS_VALUE &&
      std::abs(timestamp - last_timestamp_ - frame_duration_) * 2 >= frame_duration_) {
    rate_varied_ = true;
  }
  last_timestamp_ = timestamp;
}

void FfmpegDecoder::Report(std::string_view what) {
  if (++reports_ > kMaxReports) return;
  log_.Write(input_name_ + ": frame " + std::to_string(frames_decoded_) + ": " + std::string(what));
}

}  // namespace vorlith::media
