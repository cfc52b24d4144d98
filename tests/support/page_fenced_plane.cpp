#include "page_fenced_plane.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#include "scan_reach.h"

namespace vorlith::testing {
namespace {

[[noreturn]] void Fail(const char* what, int error) {
  throw std::runtime_error(std::string("PageFencedPlane: ") + what + ": " + std::strerror(error));
}

}  // namespace

PageFencedPlane::PageFencedPlane(std::int32_t row_size, int pitch_sign, std::int32_t height,
                                 std::int32_t readable_rows, FencedEdge edge)
    : page_(static_cast<std::size_t>(sysconf(_SC_PAGESIZE))),
      row_size_(row_size),
      pitch_((pitch_sign < 0 ? -2 : 2) * static_cast<std::int32_t>(page_)),
      height_(height),
      slots_(std::max(height, 1)),
      readable_rows_(std::clamp(readable_rows, 0, slots_)) {
  const auto width = static_cast<std::size_t>(ScannedWidth(row_size));
  if (width > page_) throw std::runtime_error("PageFencedPlane: a row must fit in one page");
  row_offset_ = edge == FencedEdge::kRowEnd ? page_ - width : 0;
  // Pages: fence, row slot 0, fence, row slot 1, ..., fence.
  bytes_ = (2 * static_cast<std::size_t>(slots_) + 1) * page_;
  void* mapped = mmap(nullptr, bytes_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) Fail("mmap", errno);
  base_ = static_cast<std::uint8_t*>(mapped);
  for (std::int32_t r = 0; r < readable_rows_; ++r) {
    std::uint8_t* page = Row(r) - row_offset_;
    if (mprotect(page, page_, PROT_READ | PROT_WRITE) != 0) {
      const int error = errno;
      munmap(base_, bytes_);
      Fail("mprotect", error);
    }
  }
}

PageFencedPlane::~PageFencedPlane() { munmap(base_, bytes_); }

std::uint8_t* PageFencedPlane::Row(std::int32_t r) {
  // Bottom-up storage keeps plane row 0 in the last slot.
  const std::int32_t slot = pitch_ < 0 ? slots_ - 1 - r : r;
  return base_ + (2 * static_cast<std::size_t>(slot) + 1) * page_ + row_offset_;
}

void PageFencedPlane::Fill(const std::function<std::uint8_t(std::int64_t, std::int64_t)>& f) {
  const std::int32_t width = ScannedWidth(row_size_);
  for (std::int32_t r = 0; r < readable_rows_; ++r) {
    for (std::int32_t j = 0; j < width; ++j) Row(r)[j] = f(r, j);
  }
}

LumaPlane PageFencedPlane::View() {
  std::uint8_t* top = Row(0);
  return LumaPlane{top, top, pitch_, row_size_, height_};
}

}  // namespace vorlith::testing
