#include "frame_planes.h"

#include <stdexcept>

namespace vorlith::host {
namespace {

constexpr int kPlaneIds[kPlaneCount] = {PLANAR_Y, PLANAR_U, PLANAR_V};

}  // namespace

std::array<PlaneView, kPlaneCount> ReadablePlanes(const VideoFrame& frame) {
  std::array<PlaneView, kPlaneCount> planes;
  for (int p = 0; p < kPlaneCount; ++p) {
    const int id = kPlaneIds[p];
    planes[p] = {frame.GetReadPtr(id), frame.GetPitch(id), frame.GetRowSize(id),
                 frame.GetHeight(id)};
  }
  return planes;
}

std::array<PlaneBuffer, kPlaneCount> WritablePlanes(const PVideoFrame& frame) {
  if (!frame || !frame->IsWritable()) {
    throw std::logic_error("WritablePlanes: the frame is shared; only its sole holder may fill it");
  }
  std::array<PlaneBuffer, kPlaneCount> planes;
  for (int p = 0; p < kPlaneCount; ++p) {
    const int id = kPlaneIds[p];
    planes[p] = {frame->GetWritePtr(id), frame->GetPitch(id), frame->GetRowSize(id),
                 frame->GetHeight(id)};
  }
  return planes;
}

}  // namespace vorlith::host
