// What the runner learns from the report lines on the debug channel, the
// way a debug-output viewer reads them: "\r<position> frame=<n> --- Blocks=<count>\n".
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlith::runner {

// One report line's three numbers, as sent.
struct FrameReport {
  std::int64_t frame = 0;
  std::int64_t position = 0;  // the cycle position the line states (frame % 5 from this plugin)
  std::int64_t blocks = 0;

  friend bool operator==(const FrameReport&, const FrameReport&) = default;
};

// A report's count as the analyses take it: between 0 and 2^40, far beyond
// any frame's blocks, so that no arithmetic on it can overflow whatever
// another program's line says.
std::int64_t BoundedBlocks(std::int64_t blocks);

// The numbers of `line` (without its line feed) if it is a report line.
std::optional<FrameReport> ParseReportLine(std::string_view line);

struct ReportTally {
  std::int64_t reported = 0;
  std::array<std::int64_t, 5> by_position{};  // first field of the line, 0 to 4
  std::vector<FrameReport> reports;           // every report line, in arrival order

  // Counts and keeps `line` (without its line feed) if it is a report line.
  void Count(std::string_view line);
  // "3 reported (by cycle position 0:0 1:0 2:1 3:2 4:0)"
  std::string Describe() const;
};

}  // namespace vorlith::runner
