// The YUV4MPEG2 header line that the ffmpeg program writes for a stream
// (`ffmpeg -i FILE -f yuv4mpegpipe -`), so that frames decoded here are
// written back with the header that a y4m file decoded by ffmpeg carries,
// byte for byte.
#pragma once

extern "C" {
#include <libavutil/pixfmt.h>
#include <libavutil/rational.h>
}

#include <cstdint>
#include <string>

#include "y4m_header.h"

namespace vorlith::media {

struct Y4mStreamTags {
  std::int32_t width = 0;
  std::int32_t height = 0;
  AVRational frame_rate{0, 1};  // 0/1 when unknown
  AVRational sample_aspect{0, 1};
  media::Y4mInterlacing interlacing = media::Y4mInterlacing::kProgressive;
  // The 4:2:0 format written (yuv420p or yuvj420p), and the chroma siting
  // and range of the decoded frames.
  AVPixelFormat format = AV_PIX_FMT_YUV420P;
  AVChromaLocation chroma_location = AVCHROMA_LOC_UNSPECIFIED;
  AVColorRange colour_range = AVCOL_RANGE_UNSPECIFIED;
};

// What ffmpeg writes, as observed: "YUV4MPEG2 W<w> H<h> F<n>:<d> I<p|t|b|m>
// A<n>:<d> C<space> XYSCSS=<SPACE>", then " XCOLORRANGE=LIMITED" or "=FULL"
// when the frames say. The rate and the aspect are reduced; an unknown
// aspect is A0:0, an unknown rate F25:1 (ffmpeg's default rate). yuvj420p is
// always C420jpeg; yuv420p is C420paldv for chroma at the top left,
// C420mpeg2 for chroma on the left and C420jpeg otherwise.
std::string FfmpegY4mHeaderLine(const Y4mStreamTags& tags);

}  // namespace vorlith::media
