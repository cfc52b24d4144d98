// The bytes of one frame as a list of memory ranges in file order, moved
// through a descriptor with readv or writev (see descriptor_io.h): one
// system call takes up to IOV_MAX rows, or whole planes where rows follow
// each other without padding, and the kernel copies straight between the
// file and the rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "descriptor_io.h"
#include "plane_buffer.h"
#include "system_error_text.h"
#include "y4m_header.h"

namespace vorlith::media {

// What a Transfer moved before it stopped; `error` is the failed call's
// error, its number 0 when everything moved or the input ended first.
struct TransferResult {
  std::size_t bytes = 0;
  platform::SystemError error;
};

using VectorTransfer = ssize_t (*)(int fd, const platform::IoRange* ranges, int count);

// What a transfer that a signal cuts short does: go on (a write, so that a
// frame begun is written whole), or give up with EINTR once a stop has been
// requested (a read, which may wait for input that never comes).
enum class OnSignal { kGoOn, kStopIfRequested };

class FrameRows {
 public:
  void Clear();
  // Adds a range after the others, merged with the last one when it follows
  // straight on from it: planes without row padding become one range each.
  void Append(void* data, std::size_t size);
  // Adds every row of the three planes, after checking that they have the
  // sizes that `header` gives (std::invalid_argument otherwise): planes to
  // read into, or planes to write out, which are only read.
  void AppendPlanes(const Y4mHeader& header, const host::PlaneBuffer planes[host::kPlaneCount]);
  void AppendPlanes(const Y4mHeader& header, const host::PlaneView planes[host::kPlaneCount]);

  std::size_t PendingBytes() const { return pending_bytes_; }

  // Fills the pending ranges from `source` (at most `size` bytes); returns
  // how many bytes it took.
  std::size_t CopyFrom(const std::uint8_t* source, std::size_t size);
  // Calls `transfer` (ReadRanges or WriteRanges) until every range has moved, it
  // returns 0 (the end of the input) or it fails with anything but EINTR
  // (or with EINTR too, as `on_signal` says). A short transfer, as pipes
  // give, only moves the start of the next call.
  TransferResult Transfer(int fd, VectorTransfer transfer, OnSignal on_signal);

 private:
  // Drops the first `size` pending bytes.
  void Consume(std::size_t size);

  std::vector<platform::IoRange> ranges_;
  std::size_t first_pending_ = 0;
  std::size_t pending_bytes_ = 0;
};

}  // namespace vorlith::media
