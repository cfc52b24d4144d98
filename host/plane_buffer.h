// A plane of a frame as plain memory: what frames are read into (a
// PlaneBuffer, whose bytes may be written) or written out from (a
// PlaneView, whose bytes are only read).
#pragma once

#include <cstddef>
#include <cstdint>

namespace vorlith::host {

// Row r of the plane begins at data + r * pitch; only its first row_size
// bytes belong to the picture. The magnitude of pitch is at least row_size;
// a negative pitch describes rows stored at falling addresses.
template <class Byte>
struct Plane {
  Byte* data = nullptr;
  std::ptrdiff_t pitch = 0;
  std::int32_t row_size = 0;
  std::int32_t height = 0;
};

using PlaneBuffer = Plane<std::uint8_t>;
using PlaneView = Plane<const std::uint8_t>;

inline PlaneView ViewOf(const PlaneBuffer& plane) {
  return {plane.data, plane.pitch, plane.row_size, plane.height};
}

// The planes of a 4:2:0 frame in file order.
inline constexpr int kPlaneY = 0;
inline constexpr int kPlaneU = 1;
inline constexpr int kPlaneV = 2;
inline constexpr int kPlaneCount = 3;

}  // namespace vorlith::host
