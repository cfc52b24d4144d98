#include "ffmpeg_reader.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <cerrno>
#include <cstring>
#include <utility>

#include "descriptor_avio.h"
#include "ffmpeg_decoder.h"
#include "ffmpeg_log.h"
#include "ffmpeg_y4m_header.h"
#include "frame_rows.h"
#include "stream_files.h"
#include "yv12_conversion.h"

namespace vorlith::media {
namespace {

bool IsYv12(AVPixelFormat format) {
  return format == AV_PIX_FMT_YUV420P || format == AV_PIX_FMT_YUVJ420P;
}

std::string FormatName(int format) {
  const char* name = av_get_pix_fmt_name(static_cast<AVPixelFormat>(format));
  return name ? name : "unknown";
}

media::Y4mRatio ToRatio(AVRational ratio) {
  if (ratio.num <= 0 || ratio.den <= 0) return {};
  av_reduce(&ratio.num, &ratio.den, ratio.num, ratio.den, INT32_MAX);
  return {ratio.num, ratio.den};
}

media::Y4mInterlacing FieldOrder(const AVFrame& frame) {
  if (!frame.interlaced_frame) return media::Y4mInterlacing::kProgressive;
  return frame.top_field_first ? media::Y4mInterlacing::kTopFieldFirst
                               : media::Y4mInterlacing::kBottomFieldFirst;
}

std::unique_ptr<DescriptorInput> OpenFile(const std::string& path) {
  const int fd = platform::OpenStreamForReading(path);
  if (fd < 0) throw media::Y4mError(path, std::string("cannot open: ") + std::strerror(errno));
  return std::make_unique<DescriptorInput>(fd, std::string_view(), true);
}

}  // namespace

struct FfmpegReader::State {
  State(std::unique_ptr<DescriptorInput> input, std::string name,
        const FfmpegReaderOptions& options)
      : route(options.log, options.verbose),
        decoder(std::move(input), std::move(name), options.stream_index, route) {
    Begin(options.convert_to_yv12);
  }

  // Decodes the first frame, which tells the size, the pixel format and
  // the header's tags.
  void Begin(bool convert_to_yv12) {
    const std::string& name = decoder.input_name();
    ahead = decoder.NextFrame();
    if (ahead == nullptr) throw media::Y4mError(name, "the video stream has no frame that decodes");
    width = ahead->width;
    height = ahead->height;
    format = static_cast<AVPixelFormat>(ahead->format);
    if (!IsYv12(format)) {
      if (!convert_to_yv12) {
        throw media::Y4mError(name, "pixel format " + FormatName(format) +
                                        " is not 8-bit 4:2:0 (yuv420p); add --to-yv12 to "
                                        "convert it with libswscale");
      }
      try {
        conversion.emplace(width, height, format);
      } catch (const std::invalid_argument& error) {
        throw media::Y4mError(name, error.what());
      }
    }

    const AVStream& stream = decoder.stream();
    info.stream_index = stream.index;
    info.codec = decoder.codec().codec->name;
    info.pixel_format = FormatName(format);
    info.converted = conversion.has_value();
    info.width = width;
    info.height = height;
    info.frame_rate = ToRatio(StreamFrameRate(stream));
    // The stream's aspect where the container gives one, else the frame's.
    const AVRational aspect =
        av_guess_sample_aspect_ratio(const_cast<AVFormatContext*>(&decoder.format()),
                                     const_cast<AVStream*>(&stream), const_cast<AVFrame*>(ahead));
    info.sample_aspect = ToRatio(aspect);
    info.field_order = FieldOrder(*ahead);
    info.frame_count = stream.nb_frames > 0 ? stream.nb_frames : 0;

    Y4mStreamTags tags;
    tags.width = width;
    tags.height = height;
    tags.frame_rate = StreamFrameRate(stream);
    tags.sample_aspect = aspect;
    tags.interlacing = info.field_order;
    tags.format = conversion ? AV_PIX_FMT_YUV420P : format;
    tags.chroma_location = ahead->chroma_location;
    tags.colour_range = ahead->color_range;
    header = media::ParseY4mHeader(FfmpegY4mHeaderLine(tags), name);
  }

  // The next frame of the first one's size and format, or null at the end.
  const AVFrame* NextFrame() {
    const AVFrame* frame = std::exchange(ahead, nullptr);
    if (frame == nullptr) frame = decoder.NextFrame();
    while (frame != nullptr &&
           (frame->width != width || frame->height != height || frame->format != format)) {
      decoder.RejectFrame("the stream changes to " + std::to_string(frame->width) + "x" +
                          std::to_string(frame->height) + " " + FormatName(frame->format) +
                          " from " + std::to_string(width) + "x" + std::to_string(height) + " " +
                          FormatName(format) + "; such frames are skipped");
      frame = decoder.NextFrame();
    }
    return frame;
  }

  void Copy(const AVFrame& frame) {
    for (int p = 0; p < host::kPlaneCount; ++p) {
      const std::size_t row_bytes = static_cast<std::size_t>(header.PlaneWidth(p));
      for (std::int32_t r = 0; r < header.PlaneHeight(p); ++r) {
        rows.CopyFrom(frame.data[p] + std::ptrdiff_t{r} * frame.linesize[p], row_bytes);
      }
    }
  }

  // Declared first, so that it ends last, after the decoder's threads.
  FfmpegLogRoute route;
  FfmpegDecoder decoder;
  std::optional<Yv12Conversion> conversion;
  VideoStreamInfo info;
  media::Y4mHeader header;
  // The caller's planes as ranges in file order, which the copy fills.
  media::FrameRows rows;
  // The first frame, decoded at open, until it is read.
  const AVFrame* ahead = nullptr;
  int width = 0;
  int height = 0;
  AVPixelFormat format = AV_PIX_FMT_NONE;
};

FfmpegReader::FfmpegReader(const std::string& path, FfmpegReaderOptions options)
    : state_(std::make_unique<State>(OpenFile(path), path, options)) {}

FfmpegReader::FfmpegReader(int fd, std::string_view peeked, std::string input_name,
                           FfmpegReaderOptions options)
    : state_(std::make_unique<State>(std::make_unique<DescriptorInput>(fd, peeked, false),
                                     std::move(input_name), options)) {}

FfmpegReader::~FfmpegReader() = default;

const VideoStreamInfo& FfmpegReader::info() const { return state_->info; }

const Y4mHeader& FfmpegReader::header() const { return state_->header; }

std::int64_t FfmpegReader::frames_read() const {
  return state_->decoder.frames_decoded() - (state_->ahead != nullptr ? 1 : 0);
}

std::int64_t FfmpegReader::frame_count() const { return state_->info.frame_count; }

bool FfmpegReader::ReadFrame(const host::PlaneBuffer planes[host::kPlaneCount],
                             std::string* frame_parameters) {
  State& state = *state_;
  if (frame_parameters != nullptr) frame_parameters->clear();
  // Checked before any frame is taken, so that a caller's mistake loses none.
  state.rows.Clear();
  state.rows.AppendPlanes(state.header, planes);
  const AVFrame* frame = state.NextFrame();
  if (frame == nullptr) return false;
  if (state.conversion) {
    state.conversion->Convert(*frame, planes);
  } else {
    state.Copy(*frame);
  }
  return true;
}

std::int64_t FfmpegReader::frames_lost() const { return state_->decoder.frames_lost(); }

std::int64_t FfmpegReader::frames_damaged() const { return state_->decoder.frames_damaged(); }

std::int64_t FfmpegReader::input_errors() const { return state_->decoder.input_errors(); }

bool FfmpegReader::rate_varied() const { return state_->decoder.rate_varied(); }

}  // namespace vorlith::media
