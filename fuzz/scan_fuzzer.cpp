// Fuzzes the combed block scan: the input picks a plane's geometry and its
// bytes, and every form that this machine supports must match the scalar
// reference on it (CompareWithReference: count and every byte of the buffer,
// guard bytes included; reads outside the scan's reach are fenced for ASan).
// A mismatch prints the form and the geometry and aborts, which libFuzzer
// turns into a crash file.
//
// Input: a 7-byte header, then the plane's bytes.
//   0, 1  row size, little-endian, taken modulo 265, less 8: -8 to 256
//   2     height modulo 67, less 2: -2 to 64
//   3     padding past the scanned width, modulo 73: 0 to 72
//   4     bit 0 set: bottom-up storage (negative pitch)
//   5     misalignment of the first row, modulo 64
//   6     added to every byte of the odd rows, so that fields of different
//         levels, and with them combed blocks, are one byte away
//   7...  repeated over every byte of every row, padding included; zeros
//         when absent
// The bounds keep a plane under 22 KiB: under the sanitizers the largest
// takes a few milliseconds and a typical input well under one.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "guarded_plane.h"
#include "scan_comparison.h"
#include "scan_reach.h"

namespace {

using vorlith::testing::GuardedPlane;

constexpr std::size_t kHeaderBytes = 7;
constexpr int kMaxRowSize = 256;
constexpr int kMaxHeight = 64;
constexpr int kMaxPadding = 72;

GuardedPlane PlaneFromInput(const std::uint8_t* data, std::size_t size) {
  const int row_size = (data[0] | data[1] << 8) % (kMaxRowSize + 9) - 8;
  const int height = data[2] % (kMaxHeight + 3) - 2;
  const int padding = data[3] % (kMaxPadding + 1);
  const int sign = data[4] & 1 ? -1 : 1;
  const std::size_t misalign = data[5] % 64;
  const std::uint8_t lift = data[6];
  const std::uint8_t* const content = data + kHeaderBytes;
  const std::size_t content_size = size - kHeaderBytes;

  GuardedPlane plane(row_size, sign * (vorlith::testing::ScannedWidth(row_size) + padding), height,
                     misalign);
  const std::int64_t stride = plane.stride();
  plane.Fill([&](std::int64_t r, std::int64_t j) {
    const std::uint8_t base =
        content_size == 0 ? 0 : content[static_cast<std::size_t>(r * stride + j) % content_size];
    return static_cast<std::uint8_t>(base + (r % 2 ? lift : 0));
  });
  return plane;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < kHeaderBytes) return 0;
  const std::vector<std::string> failures =
      vorlith::testing::CompareWithReference(PlaneFromInput(data, size));
  if (failures.empty()) return 0;
  for (const std::string& failure : failures)
    std::fprintf(stderr, "scan_fuzzer: %s\n", failure.c_str());
  std::abort();
}
