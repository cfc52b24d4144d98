#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "descriptor_io.h"

namespace vorlith::platform {
namespace {

// Every _read and _write is a system call of its own, so each call of the
// functions below makes exactly one, and makes it large: a range of at
// least this size moves straight into or out of its memory; a run of
// smaller ones (the rows of a frame with padding between them) moves
// through a buffer of this size, one copy in memory being far cheaper than
// a system call per row.
constexpr std::size_t kStagingBytes = 64 * 1024;

// How many bytes of the leading whole ranges fit into the staging buffer;
// at least the first range's, which is smaller than the buffer.
std::size_t StagedBytes(const IoRange* ranges, int count) {
  std::size_t bytes = 0;
  for (int i = 0; i < count && bytes + ranges[i].iov_len <= kStagingBytes; ++i) {
    bytes += ranges[i].iov_len;
  }
  return bytes;
}

unsigned CallSize(std::size_t bytes) {
  return static_cast<unsigned>(std::min<std::size_t>(bytes, INT_MAX));
}

}  // namespace

ssize_t ReadRanges(int fd, const IoRange* ranges, int count) {
  if (count == 0) return 0;
  if (ranges[0].iov_len >= kStagingBytes) {
    return _read(fd, ranges[0].iov_base, CallSize(ranges[0].iov_len));
  }
  alignas(64) char staging[kStagingBytes];
  const int got = _read(fd, staging, static_cast<unsigned>(StagedBytes(ranges, count)));
  // What came, which may be less than asked, fills the ranges in order.
  std::size_t copied = 0;
  for (int i = 0; copied < static_cast<std::size_t>(std::max(got, 0)); ++i) {
    const std::size_t part = std::min(ranges[i].iov_len, got - copied);
    std::memcpy(ranges[i].iov_base, staging + copied, part);
    copied += part;
  }
  return got;
}

ssize_t WriteRanges(int fd, const IoRange* ranges, int count) {
  if (count == 0) return 0;
  if (ranges[0].iov_len >= kStagingBytes) {
    return _write(fd, ranges[0].iov_base, CallSize(ranges[0].iov_len));
  }
  alignas(64) char staging[kStagingBytes];
  const std::size_t bytes = StagedBytes(ranges, count);
  std::size_t copied = 0;
  for (int i = 0; copied < bytes; ++i) {
    std::memcpy(staging + copied, ranges[i].iov_base, ranges[i].iov_len);
    copied += ranges[i].iov_len;
  }
  return _write(fd, staging, static_cast<unsigned>(bytes));
}

void UseBinaryMode(int fd) { _setmode(fd, _O_BINARY); }

bool WriteAll(int fd, const void* data, std::size_t size) {
  const char* next = static_cast<const char*>(data);
  while (size > 0) {
    const int written = _write(fd, next, CallSize(size));
    if (written <= 0) return false;
    next += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace vorlith::platform
