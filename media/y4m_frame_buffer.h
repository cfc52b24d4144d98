// Storage for one frame of a stream, for programs that have no frame type
// of their own: the clip generator, tests and benchmarks.
#pragma once

#include <cstdint>

#include "aligned_bytes.h"
#include "plane_buffer.h"
#include "y4m_header.h"

namespace vorlith::media {

class Y4mFrameBuffer {
 public:
  // Each plane's pitch is its width plus `row_padding` bytes; the padding
  // holds zeros. The planes lie one after another in one allocation, each
  // starting on a 64-byte boundary.
  explicit Y4mFrameBuffer(const Y4mHeader& header, std::int32_t row_padding = 0);
  // Not copyable: the planes point into this object's own storage.
  Y4mFrameBuffer(const Y4mFrameBuffer&) = delete;
  Y4mFrameBuffer& operator=(const Y4mFrameBuffer&) = delete;

  // The planes to fill, and the same planes to read or write out.
  const host::PlaneBuffer* planes() const { return planes_; }
  const host::PlaneBuffer& plane(int p) const { return planes_[p]; }
  const host::PlaneView* views() const { return views_; }

 private:
  AlignedBytes storage_;
  host::PlaneBuffer planes_[host::kPlaneCount];
  host::PlaneView views_[host::kPlaneCount];
};

}  // namespace vorlith::media
