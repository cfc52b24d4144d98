#include "guarded_plane.h"

#include <algorithm>

namespace vorlith::testing {

GuardedPlane::GuardedPlane(std::int32_t row_size, std::int32_t pitch, std::int32_t height,
                           std::size_t misalign, std::int32_t extra_rows)
    : row_size_(row_size),
      pitch_(pitch),
      height_(height),
      rows_(std::max(height, 0) + extra_rows),
      rows_begin_(misalign + kGuardBytes),
      bytes_(rows_begin_ + static_cast<std::size_t>(rows_ * stride()) + kGuardBytes, kGuardValue) {}

std::uint8_t* GuardedPlane::RowStart(std::int64_t r) {
  // Bottom-up storage keeps plane row 0 in the last storage row.
  const std::int64_t storage_row = pitch_ < 0 ? rows_ - 1 - r : r;
  return bytes_.data() + rows_begin_ + storage_row * stride();
}

void GuardedPlane::Fill(const std::function<std::uint8_t(std::int64_t, std::int64_t)>& f) {
  for (std::int64_t r = 0; r < rows_; ++r) {
    for (std::int64_t j = 0; j < stride(); ++j) RowStart(r)[j] = f(r, j);
  }
}

LumaPlane GuardedPlane::View() {
  std::uint8_t* top = RowStart(0);
  return LumaPlane{top, top, pitch_, row_size_, height_};
}

std::uint8_t& GuardedPlane::At(std::int64_t r, std::int64_t j) { return RowStart(r)[j]; }

bool GuardedPlane::GuardsIntact() const {
  const auto is_guard = [](std::uint8_t b) { return b == kGuardValue; };
  const auto rows_end = bytes_.begin() + static_cast<std::ptrdiff_t>(rows_begin_) +
                        static_cast<std::ptrdiff_t>(rows_ * stride());
  return std::all_of(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(rows_begin_),
                     is_guard) &&
         std::all_of(rows_end, bytes_.end(), is_guard);
}

std::string GuardedPlane::FirstDifference(const GuardedPlane& other) const {
  const auto [mine, theirs] = std::mismatch(bytes_.begin(), bytes_.end(), other.bytes_.begin());
  if (mine == bytes_.end()) return {};
  const std::int64_t offset = mine - bytes_.begin();
  const std::int64_t in_rows = offset - static_cast<std::int64_t>(rows_begin_);
  std::string where = "byte " + std::to_string(offset);
  if (in_rows < 0 || in_rows >= rows_ * stride()) {
    where += " (guard)";
  } else {
    const std::int64_t storage_row = in_rows / stride();
    const std::int64_t r = pitch_ < 0 ? rows_ - 1 - storage_row : storage_row;
    where += " (row " + std::to_string(r) + ", column " + std::to_string(in_rows % stride()) + ")";
  }
  return where + ": " + std::to_string(*mine) + " vs " + std::to_string(*theirs);
}

}  // namespace vorlith::testing
