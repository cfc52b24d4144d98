#include "descriptor_avio.h"

extern "C" {
#include <libavformat/avio.h>
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace vorlith::media {
namespace {

// libavformat reads through a buffer of this size; large enough that a
// read call costs little next to the decoding of what it brought.
constexpr int kBufferBytes = 256 * 1024;

}  // namespace

DescriptorInput::DescriptorInput(int fd, std::string_view peeked, bool owned)
    : fd_(fd), owned_(owned) {
  const off_t position = lseek(fd_, 0, SEEK_CUR);
  const bool seekable = position >= static_cast<off_t>(peeked.size()) &&
                        lseek(fd_, position - static_cast<off_t>(peeked.size()), SEEK_SET) >= 0;
  if (!seekable) peeked_ = peeked;
  auto* buffer = static_cast<unsigned char*>(av_malloc(kBufferBytes));
  if (buffer != nullptr) {
    context_ =
        avio_alloc_context(buffer, kBufferBytes, 0, this, Read, nullptr, seekable ? Seek : nullptr);
  }
  if (context_ == nullptr) {
    av_free(buffer);
    if (owned_) close(fd_);
    throw std::bad_alloc();
  }
  context_->seekable = seekable ? AVIO_SEEKABLE_NORMAL : 0;
}

DescriptorInput::~DescriptorInput() {
  // The context may have replaced its buffer with one of another size.
  av_freep(&context_->buffer);
  avio_context_free(&context_);
  if (owned_) close(fd_);
}

int DescriptorInput::Read(void* opaque, std::uint8_t* buffer, int size) {
  auto& input = *static_cast<DescriptorInput*>(opaque);
  if (input.peeked_taken_ < input.peeked_.size()) {
    const std::size_t count =
        std::min(input.peeked_.size() - input.peeked_taken_, static_cast<std::size_t>(size));
    std::memcpy(buffer, input.peeked_.data() + input.peeked_taken_, count);
    input.peeked_taken_ += count;
    return static_cast<int>(count);
  }
  for (;;) {
    const ssize_t got = read(input.fd_, buffer, static_cast<std::size_t>(size));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return AVERROR(errno);
    return got == 0 ? AVERROR_EOF : static_cast<int>(got);
  }
}

std::int64_t DescriptorInput::Seek(void* opaque, std::int64_t offset, int whence) {
  auto& input = *static_cast<DescriptorInput*>(opaque);
  if (whence & AVSEEK_SIZE) {
    struct stat status {};
    return fstat(input.fd_, &status) == 0 ? status.st_size : AVERROR(errno);
  }
  const off_t position = lseek(input.fd_, offset, whence & ~AVSEEK_FORCE);
  return position < 0 ? AVERROR(errno) : position;
}

}  // namespace vorlith::media
