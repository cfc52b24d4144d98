// Calls ReportFrame once for each triple "n count th" of its arguments, in
// order, so that a debugger in another process can watch the lines reach the
// debugger output channel. Arguments are all checked before the first call:
// on a bad one it sends nothing and exits with 2.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "analysis.h"

namespace {

bool ParseInt32(const char* text, std::int32_t& value) {
  const char* end = text + std::strlen(text);
  const auto [stop, error] = std::from_chars(text, end, value);
  return error == std::errc{} && stop == end && stop != text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 || (argc - 1) % 3 != 0) {
    std::fprintf(stderr, "usage: report_frame_child N COUNT TH [N COUNT TH ...]\n");
    return 2;
  }
  std::vector<std::int32_t> values(static_cast<std::size_t>(argc - 1));
  for (int i = 1; i < argc; ++i) {
    if (!ParseInt32(argv[i], values[static_cast<std::size_t>(i - 1)])) {
      std::fprintf(stderr, "report_frame_child: not a 32-bit integer: \"%s\"\n", argv[i]);
      return 2;
    }
  }
  for (std::size_t i = 0; i < values.size(); i += 3) {
    vorlith::ReportFrame(values[i], values[i + 1], values[i + 2]);
  }
  return 0;
}
