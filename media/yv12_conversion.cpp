#include "yv12_conversion.h"

extern "C" {
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <stdexcept>
#include <string>

namespace vorlith::media {

Yv12Conversion::Yv12Conversion(int width, int height, AVPixelFormat format)
    : context_(sws_getContext(width, height, format, width, height, AV_PIX_FMT_YUV420P, SWS_BICUBIC,
                              nullptr, nullptr, nullptr)) {
  if (context_ == nullptr) {
    const char* name = av_get_pix_fmt_name(format);
    throw std::invalid_argument(std::string("libswscale cannot convert ") +
                                (name ? name : "this pixel format") + " to yuv420p");
  }
}

Yv12Conversion::~Yv12Conversion() { sws_freeContext(context_); }

void Yv12Conversion::Convert(const AVFrame& frame,
                             const host::PlaneBuffer planes[host::kPlaneCount]) {
  std::uint8_t* const destination[4] = {planes[0].data, planes[1].data, planes[2].data, nullptr};
  const int pitches[4] = {static_cast<int>(planes[0].pitch), static_cast<int>(planes[1].pitch),
                          static_cast<int>(planes[2].pitch), 0};
  sws_scale(context_, frame.data, frame.linesize, 0, frame.height, destination, pitches);
}

}  // namespace vorlith::media
