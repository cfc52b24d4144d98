// Frame analysis: the combed block scan of one luma plane and the per-frame
// report line. Pure functions over plain memory; nothing here knows the host.
#pragma once

#include <cstdint>

namespace vorlith {

// A view of one plane of 8-bit samples; it owns nothing. Row r begins at
// read_ptr + r * pitch (and write_ptr + r * pitch), so a negative pitch
// describes rows stored at falling addresses. The magnitude of pitch must be
// at least row_size raised to the next multiple of 8: the scan reads and
// paints whole groups of 8 bytes from the start of each row.
struct LumaPlane {
  const std::uint8_t* read_ptr = nullptr;
  std::uint8_t* write_ptr = nullptr;  // needed only when painting
  std::int32_t pitch = 0;
  std::int32_t row_size = 0;
  std::int32_t height = 0;
};

// The grid of blocks that the scan judges. Blocks are 8x8 and start every 8
// columns while x < row_size, so the last one of a band reaches past a row
// size that is no multiple of 8, up to the scanned width. Bands start every
// 8 rows while y < height - 10: each block also reads the two rows below it,
// and the plane's last row is never read. A row size of 0 or less, or a
// height of 10 or less, gives no block. Exact for any 32-bit sizes.
struct ScanGrid {
  static constexpr int kBlockSize = 8;  // samples across and rows down

  std::int64_t scanned_width = 0;  // the row size raised to a multiple of 8
  std::int64_t blocks_across = 0;
  std::int64_t bands = 0;
  std::int64_t blocks = 0;
};

// Out of line, in baseline code: the vector forms call it too, and an inline
// copy built with their instruction sets could be the one the linker keeps.
ScanGrid ScanGridOf(std::int32_t row_size, std::int32_t height);

// Counts the combed 8x8 blocks of `plane`, on the grid above. A block is combed when at least 3
// of its 8 rows differ from the next row by more than 20 beyond how much they
// differ from the row after next (sums of absolute differences over the
// block's 8 columns). With `show` the combed blocks are painted 255 through
// write_ptr; without it nothing is written.
std::int32_t ScanCombedBlocks(const LumaPlane& plane, bool show);

// Sends "\r<n % 5> frame=<n> --- Blocks=<count>\n" to the debugger output
// channel when count > th; does nothing otherwise.
void ReportFrame(std::int32_t n, std::int32_t count, std::int32_t th);

}  // namespace vorlith
