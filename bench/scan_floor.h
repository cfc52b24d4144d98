// The floor for the scan's speed: one read, at a given vector width, of
// every byte the scan reads, and no other work. Each width is its own file,
// compiled with its own target flags.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vorlith::bench {

// Reads `width` bytes (a multiple of 8) of `rows` rows from `top` and folds
// them into a value the caller keeps, so no read can be left out.
std::uint64_t ReadFloorAvx2(const std::uint8_t* top, std::ptrdiff_t pitch, std::int64_t rows,
                            std::int64_t width);
std::uint64_t ReadFloorAvx512(const std::uint8_t* top, std::ptrdiff_t pitch, std::int64_t rows,
                              std::int64_t width);

}  // namespace vorlith::bench
