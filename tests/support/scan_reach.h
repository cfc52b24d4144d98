// How far a scan of a plane may reach, from the scan's rules: the bytes of a
// row up to the scanned width, and the rows from 0 down to the second row
// below the last band's top. Tests fence off everything beyond.
#pragma once

#include <cstdint>

namespace vorlith::testing {

// The row size raised to the next multiple of 8; 0 for a row size of 0 or less.
inline std::int32_t ScannedWidth(std::int32_t row_size) {
  return row_size <= 0 ? 0 : (row_size + 7) & ~7;
}

// Bands start at y = 0, 8, ... while y < height - 10 and read rows y..y+9,
// so a height of 10 or less reads no row at all.
inline std::int32_t RowsRead(std::int32_t height) {
  if (height <= 10) return 0;
  const std::int32_t last_band_top = (height - 11) / 8 * 8;
  return last_band_top + 10;
}

}  // namespace vorlith::testing
