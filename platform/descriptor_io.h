// The system calls that move bytes through file descriptors: a list of
// memory ranges in one call, for the video file layer, and all of one block
// of bytes. On POSIX the ranges move with readv and writev.
// Windows' C runtime has neither, so there each range is one _read or
// _write straight into or out of its memory, and a call stops at the first
// range that moves short, as readv and writev do.
#pragma once

#include <sys/types.h>

#include <climits>
#include <cstddef>

#if !defined(_WIN32)
#include <sys/uio.h>
#endif

namespace vorlith::platform {

#if defined(_WIN32)
// The fields of POSIX's iovec, so that the range code is the same on both.
struct IoRange {
  void* iov_base;
  std::size_t iov_len;
};
// Nothing limits the ranges of one call there.
inline constexpr int kMaxRangesPerCall = INT_MAX;

ssize_t ReadRanges(int fd, const IoRange* ranges, int count);
ssize_t WriteRanges(int fd, const IoRange* ranges, int count);
// Windows' C runtime turns line ends into "\r\n" and stops reading at a
// Ctrl-Z on descriptors in text mode, the mode of the standard streams.
void UseBinaryMode(int fd);
#else
using IoRange = iovec;
inline constexpr int kMaxRangesPerCall = IOV_MAX;

inline ssize_t ReadRanges(int fd, const IoRange* ranges, int count) {
  return readv(fd, ranges, count);
}
inline ssize_t WriteRanges(int fd, const IoRange* ranges, int count) {
  return writev(fd, ranges, count);
}
// Descriptors have no text mode here.
inline void UseBinaryMode(int) {}
#endif

// Writes the `size` bytes at `data`, going on after a short write or a
// signal; false (errno, see system_error_text.h) when the descriptor takes
// no more.
bool WriteAll(int fd, const void* data, std::size_t size);

}  // namespace vorlith::platform
