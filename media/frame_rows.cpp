#include "frame_rows.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#include "stop_request.h"

namespace vorlith::media {

void FrameRows::Clear() {
  ranges_.clear();
  first_pending_ = 0;
  pending_bytes_ = 0;
}

void FrameRows::Append(void* data, std::size_t size) {
  if (size == 0) return;
  pending_bytes_ += size;
  if (!ranges_.empty()) {
    platform::IoRange& last = ranges_.back();
    if (static_cast<std::uint8_t*>(last.iov_base) + last.iov_len == data) {
      last.iov_len += size;
      return;
    }
  }
  ranges_.push_back({data, size});
}

void FrameRows::AppendPlanes(const Y4mHeader& header,
                             const host::PlaneBuffer planes[host::kPlaneCount]) {
  const host::PlaneView views[host::kPlaneCount] = {
      host::ViewOf(planes[0]), host::ViewOf(planes[1]), host::ViewOf(planes[2])};
  AppendPlanes(header, views);
}

void FrameRows::AppendPlanes(const Y4mHeader& header,
                             const host::PlaneView planes[host::kPlaneCount]) {
  for (int p = 0; p < host::kPlaneCount; ++p) {
    const host::PlaneView& plane = planes[p];
    const std::ptrdiff_t stride = plane.pitch < 0 ? -plane.pitch : plane.pitch;
    if (plane.data == nullptr || plane.row_size != header.PlaneWidth(p) ||
        plane.height != header.PlaneHeight(p) || stride < plane.row_size) {
      throw std::invalid_argument(
          "plane " + std::to_string(p) + " is " + std::to_string(plane.row_size) + "x" +
          std::to_string(plane.height) + " with pitch " + std::to_string(plane.pitch) +
          ", but the stream needs " + std::to_string(header.PlaneWidth(p)) + "x" +
          std::to_string(header.PlaneHeight(p)) + " with a pitch of at least its width");
    }
    // The ranges are the system's, which has one type for reading and
    // writing; rows to be written out are only ever read through them.
    auto* const data = const_cast<std::uint8_t*>(plane.data);
    for (std::int32_t r = 0; r < plane.height; ++r) {
      Append(data + r * plane.pitch, static_cast<std::size_t>(plane.row_size));
    }
  }
}

std::size_t FrameRows::CopyFrom(const std::uint8_t* source, std::size_t size) {
  const std::size_t taken = std::min(size, pending_bytes_);
  for (std::size_t left = taken; left > 0;) {
    const platform::IoRange& range = ranges_[first_pending_];
    const std::size_t part = std::min(left, range.iov_len);
    std::memcpy(range.iov_base, source, part);
    source += part;
    left -= part;
    Consume(part);
  }
  return taken;
}

TransferResult FrameRows::Transfer(int fd, VectorTransfer transfer, OnSignal on_signal) {
  TransferResult result;
  while (pending_bytes_ > 0) {
    const int count = static_cast<int>(
        std::min<std::size_t>(platform::kMaxRangesPerCall, ranges_.size() - first_pending_));
    const ssize_t moved = transfer(fd, &ranges_[first_pending_], count);
    if (moved < 0 && errno == EINTR &&
        (on_signal == OnSignal::kGoOn || platform::StopRequested() == 0)) {
      continue;
    }
    if (moved < 0) {
      result.error = platform::LastSystemError();
      break;
    }
    if (moved == 0) break;
    result.bytes += static_cast<std::size_t>(moved);
    Consume(static_cast<std::size_t>(moved));
  }
  return result;
}

void FrameRows::Consume(std::size_t size) {
  pending_bytes_ -= size;
  while (size > 0) {
    platform::IoRange& range = ranges_[first_pending_];
    if (size < range.iov_len) {
      range.iov_base = static_cast<std::uint8_t*>(range.iov_base) + size;
      range.iov_len -= size;
      return;
    }
    size -= range.iov_len;
    ++first_pending_;
  }
}

}  // namespace vorlith::media
