#include "y4m_frame_buffer.h"

#include <cstddef>

namespace vorlith::media {
namespace {

// A plane's bytes, rounded up so that the next plane starts aligned too.
std::size_t AlignedPlaneBytes(const Y4mHeader& header, int plane, std::int32_t row_padding) {
  const std::size_t bytes = (static_cast<std::size_t>(header.PlaneWidth(plane)) + row_padding) *
                            static_cast<std::size_t>(header.PlaneHeight(plane));
  return (bytes + AlignedBytes::kAlignment - 1) / AlignedBytes::kAlignment *
         AlignedBytes::kAlignment;
}

}  // namespace

Y4mFrameBuffer::Y4mFrameBuffer(const Y4mHeader& header, std::int32_t row_padding)
    : storage_(AlignedPlaneBytes(header, 0, row_padding) +
               AlignedPlaneBytes(header, 1, row_padding) +
               AlignedPlaneBytes(header, 2, row_padding)) {
  std::uint8_t* next = storage_.data();
  for (int p = 0; p < host::kPlaneCount; ++p) {
    planes_[p] = {next, header.PlaneWidth(p) + row_padding, header.PlaneWidth(p),
                  header.PlaneHeight(p)};
    views_[p] = host::ViewOf(planes_[p]);
    next += AlignedPlaneBytes(header, p, row_padding);
  }
}

}  // namespace vorlith::media
