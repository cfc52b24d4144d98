// The luma, U and V planes of a host frame, in file order, as plain memory
// for the video file layer: to read from any frame, or to fill a frame that
// its holder alone holds.
#pragma once

#include <array>

#include "plane_buffer.h"
#include "plugin_interface.h"

namespace vorlith::host {

std::array<PlaneView, kPlaneCount> ReadablePlanes(const VideoFrame& frame);

// Throws std::logic_error when `frame` is shared, and so has no write
// pointer: writing into it would change what its other holders see.
std::array<PlaneBuffer, kPlaneCount> WritablePlanes(const PVideoFrame& frame);

}  // namespace vorlith::host
