#include "y4m_frame_buffer.h"

#include <cstddef>

namespace vorlith::host {

Y4mFrameBuffer::Y4mFrameBuffer(const Y4mHeader& header, std::int32_t row_padding) {
  std::size_t offsets[kPlaneCount];
  std::size_t size = 0;
  for (int p = 0; p < kPlaneCount; ++p) {
    planes_[p].pitch = header.PlaneWidth(p) + row_padding;
    planes_[p].row_size = header.PlaneWidth(p);
    planes_[p].height = header.PlaneHeight(p);
    offsets[p] = size;
    size +=
        static_cast<std::size_t>(planes_[p].pitch) * static_cast<std::size_t>(planes_[p].height);
  }
  storage_.resize(size);
  for (int p = 0; p < kPlaneCount; ++p) planes_[p].data = storage_.data() + offsets[p];
}

}  // namespace vorlith::host
