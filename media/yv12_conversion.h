// Converts decoded frames of any pixel format to 8-bit 4:2:0 (yuv420p) with
// libswscale, straight into the caller's planes.
#pragma once

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

#include "plane_buffer.h"

struct SwsContext;

namespace vorlith::media {

class Yv12Conversion {
 public:
  // For frames of `width` x `height` in `format` (std::invalid_argument
  // when libswscale cannot convert it).
  Yv12Conversion(int width, int height, AVPixelFormat format);
  ~Yv12Conversion();
  Yv12Conversion(const Yv12Conversion&) = delete;
  Yv12Conversion& operator=(const Yv12Conversion&) = delete;

  // `planes` must have the frame's size in 4:2:0 (the caller checks it).
  void Convert(const AVFrame& frame, const host::PlaneBuffer planes[host::kPlaneCount]);

 private:
  SwsContext* context_;
};

}  // namespace vorlith::media
