// A plane of 8-bit samples in a buffer fenced by guard bytes, for tests that
// must see every byte a scan writes, padding and rows outside the plane
// included. Storage may run top-down or bottom-up (negative pitch) and may
// start at any offset from the allocation's alignment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "analysis.h"

namespace vorlith::testing {

class GuardedPlane {
 public:
  static constexpr std::size_t kGuardBytes = 64;
  static constexpr std::uint8_t kGuardValue = 0xA5;

  // `pitch` may be negative; its magnitude must cover the scanned width.
  // `extra_rows` rows beyond the plane's height are allocated as well, so a
  // scan that strays below the plane shows up in them.
  GuardedPlane(std::int32_t row_size, std::int32_t pitch, std::int32_t height,
               std::size_t misalign = 0, std::int32_t extra_rows = 2);

  // Sets every byte of every allocated row, padding included, to f(r, j)
  // for plane row r and column j in [0, |pitch|).
  void Fill(const std::function<std::uint8_t(std::int64_t r, std::int64_t j)>& f);

  LumaPlane View();
  std::uint8_t& At(std::int64_t r, std::int64_t j);

  std::int32_t row_size() const { return row_size_; }
  std::int32_t pitch() const { return pitch_; }
  std::int32_t height() const { return height_; }
  std::int32_t rows() const { return rows_; }
  std::size_t misalign() const { return rows_begin_ - kGuardBytes; }
  std::int64_t stride() const { return pitch_ < 0 ? -std::int64_t{pitch_} : pitch_; }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

  bool GuardsIntact() const;
  // Empty when both buffers hold the same bytes, else where they first differ.
  std::string FirstDifference(const GuardedPlane& other) const;

 private:
  std::uint8_t* RowStart(std::int64_t r);

  std::int32_t row_size_;
  std::int32_t pitch_;
  std::int32_t height_;
  std::int32_t rows_;
  std::size_t rows_begin_;  // offset of storage row 0 in bytes_
  std::vector<std::uint8_t> bytes_;
};

}  // namespace vorlith::testing
