// A plane whose every row sits against an inaccessible page, so that a scan
// touching one byte past a row's scanned width (or, with the other fenced
// edge, one byte before a row's start) faults at once instead of reading
// a neighbour's bytes. Rows that a scan must not read are inaccessible as a
// whole. Linux only (mmap and mprotect).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "analysis.h"

namespace vorlith::testing {

enum class FencedEdge {
  kRowEnd,    // the scanned width of each row ends on a page boundary
  kRowStart,  // each row starts on a page boundary
};

class PageFencedPlane {
 public:
  // Rows are two pages apart, top-down for a positive `pitch_sign` and
  // bottom-up otherwise; each has one page of its own and one inaccessible
  // page between it and the next. Rows 0 to `readable_rows` - 1 are
  // readable and writable; every other row is inaccessible. Throws
  // std::runtime_error when the row does not fit a page or a call fails.
  PageFencedPlane(std::int32_t row_size, int pitch_sign, std::int32_t height,
                  std::int32_t readable_rows, FencedEdge edge);
  ~PageFencedPlane();
  PageFencedPlane(const PageFencedPlane&) = delete;
  PageFencedPlane& operator=(const PageFencedPlane&) = delete;

  // Sets bytes 0 to scanned width - 1 of every readable row to f(r, j).
  void Fill(const std::function<std::uint8_t(std::int64_t r, std::int64_t j)>& f);

  LumaPlane View();
  std::uint8_t* Row(std::int32_t r);

 private:
  std::size_t page_;
  std::int32_t row_size_;
  std::int32_t pitch_;
  std::int32_t height_;
  std::int32_t slots_;  // rows laid out, at least one so that View() has an address
  std::int32_t readable_rows_;
  std::size_t row_offset_;  // where a row starts within its page
  std::size_t bytes_;
  std::uint8_t* base_;
};

}  // namespace vorlith::testing
