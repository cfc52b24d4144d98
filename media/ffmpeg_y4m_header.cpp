#include "ffmpeg_y4m_header.h"

#include <climits>

namespace vorlith::media {
namespace {

std::string Ratio(AVRational ratio) {
  int numerator = 0;
  int denominator = 0;
  av_reduce(&numerator, &denominator, ratio.num, ratio.den, INT_MAX);
  return std::to_string(numerator) + ":" + std::to_string(denominator);
}

char InterlacingLetter(media::Y4mInterlacing interlacing) {
  switch (interlacing) {
    case media::Y4mInterlacing::kTopFieldFirst:
      return 't';
    case media::Y4mInterlacing::kBottomFieldFirst:
      return 'b';
    case media::Y4mInterlacing::kMixed:
      return 'm';
    default:
      return 'p';
  }
}

std::string_view ColourSpace(const Y4mStreamTags& tags) {
  if (tags.format == AV_PIX_FMT_YUV420P) {
    if (tags.chroma_location == AVCHROMA_LOC_TOPLEFT) return "C420paldv XYSCSS=420PALDV";
    if (tags.chroma_location == AVCHROMA_LOC_LEFT) return "C420mpeg2 XYSCSS=420MPEG2";
  }
  return "C420jpeg XYSCSS=420JPEG";
}

}  // namespace

std::string FfmpegY4mHeaderLine(const Y4mStreamTags& tags) {
  const AVRational rate = tags.frame_rate.num > 0 ? tags.frame_rate : AVRational{25, 1};
  std::string line = "YUV4MPEG2 W" + std::to_string(tags.width) + " H" +
                     std::to_string(tags.height) + " F" + Ratio(rate) + " I" +
                     InterlacingLetter(tags.interlacing) + " A" +
                     (tags.sample_aspect.num > 0 ? Ratio(tags.sample_aspect) : "0:0") + " " +
                     std::string(ColourSpace(tags));
  if (tags.colour_range == AVCOL_RANGE_MPEG) line += " XCOLORRANGE=LIMITED";
  if (tags.colour_range == AVCOL_RANGE_JPEG) line += " XCOLORRANGE=FULL";
  return line;
}

}  // namespace vorlith::media
