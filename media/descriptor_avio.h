// libavformat's input over a file descriptor, so that every file is opened
// by this code (no protocol names such as "http:" or "pipe:" in a path
// reach FFmpeg) and framehost's standard input can be decoded after its
// first bytes were read to look for a YUV4MPEG2 signature.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct AVIOContext;

namespace vorlith::media {

class DescriptorInput {
 public:
  // Reads `fd` from its current position, giving `peeked` first: the bytes
  // that were already read from it. A descriptor that can seek (a regular
  // file) is moved back over them instead and can then be seeked, which
  // some containers need (an MP4 file with its index at the end). The
  // descriptor is closed with this object when `owned`.
  DescriptorInput(int fd, std::string_view peeked, bool owned);
  ~DescriptorInput();
  DescriptorInput(const DescriptorInput&) = delete;
  DescriptorInput& operator=(const DescriptorInput&) = delete;

  AVIOContext* context() const { return context_; }

 private:
  static int Read(void* opaque, std::uint8_t* buffer, int size);
  static std::int64_t Seek(void* opaque, std::int64_t offset, int whence);

  int fd_;
  bool owned_;
  std::string peeked_;
  std::size_t peeked_taken_ = 0;
  AVIOContext* context_ = nullptr;
};

}  // namespace vorlith::media
