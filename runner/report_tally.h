// What the runner learns from the report lines on the debug channel, the
// way a debug-output viewer reads them: "\r<position> frame=<n> --- Blocks=<count>\n".
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vorlith::runner {

struct ReportTally {
  std::int64_t reported = 0;
  std::array<std::int64_t, 5> by_position{};  // first field of the line, 0 to 4

  // Counts `line` (without its line feed) if it is a report line.
  void Count(std::string_view line);
  // "3 reported (by cycle position 0:0 1:0 2:1 3:2 4:0)"
  std::string Describe() const;
};

}  // namespace vorlith::runner
