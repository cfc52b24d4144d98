// Storage for one frame of a stream, for programs that have no frame type
// of their own: the clip generator, tests and benchmarks.
#pragma once

#include <cstdint>

#include "aligned_bytes.h"
#include "plane_buffer.h"
#include "y4m_header.h"

namespace vorlith::host {

class Y4mFrameBuffer {
 public:
  // Each plane's pitch is its width plus `row_padding` bytes; the padding
  // holds zeros. The planes lie one after another in one allocation, each
  // starting on a 64-byte boundary.
  explicit Y4mFrameBuffer(const Y4mHeader& header, std::int32_t row_padding = 0);
  // Not copyable: the planes point into this object's own storage.
  Y4mFrameBuffer(const Y4mFrameBuffer&) = delete;
  Y4mFrameBuffer& operator=(const Y4mFrameBuffer&) = delete;

  const PlaneBuffer* planes() const { return planes_; }
  const PlaneBuffer& plane(int p) const { return planes_[p]; }

 private:
  AlignedBytes storage_;
  PlaneBuffer planes_[kPlaneCount];
};

}  // namespace vorlith::host
