// Frames of the host: 64-byte aligned rows, a pitch that covers the row size
// raised to a multiple of 64, and zero bytes between the row size and the
// pitch, so that every result is reproducible. Buffers of released frames
// are kept and handed out again, so that a steady stream of frame requests
// allocates no fresh memory.
#pragma once

#include <cstdint>
#include <memory>

#include "plugin_interface.h"

namespace vorlith::host {

enum class RowOrder { kTopDown, kBottomUp };

class FramePool {
 public:
  FramePool();
  ~FramePool();
  FramePool(const FramePool&) = delete;
  FramePool& operator=(const FramePool&) = delete;

  // A frame for the size and pixel type of `vi`, held by the returned
  // reference alone. Sample bytes are unspecified; padding bytes are zero.
  // Bottom-up frames store their rows at falling addresses (negative pitch).
  PVideoFrame NewFrame(const VideoInfo& vi, RowOrder order = RowOrder::kTopDown);
  // A frame of the same layout and content as `frame`, held by the returned
  // reference alone.
  PVideoFrame CopyOf(const VideoFrame& frame);

  // Frames handed out and not yet released, and buffers ever allocated.
  int LiveFrames() const;
  std::int64_t BuffersAllocated() const;

 private:
  struct State;
  class Frame;
  // Shared with every frame handed out, so a frame may outlive the pool.
  std::shared_ptr<State> state_;
};

}  // namespace vorlith::host
