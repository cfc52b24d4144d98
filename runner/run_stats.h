// The stats of a run as text: the CSV table of reported frames, the JSON
// document with the segments, and the summary line of each segment.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cadence_segments.h"
#include "report_tally.h"

namespace vorlith::runner {

struct RunStats {
  std::string input;                  // the input's name as framehost names it
  std::int64_t frames = 0;            // processed
  std::int64_t blocks_per_frame = 0;  // the blocks the scan judges in one frame
  std::optional<int> threshold;       // th, when the user gave it
  ReportTally tally;
  std::vector<CadenceSegment> segments;
};

// `blocks` as a percentage of `blocks_per_frame`, rounded to two decimals
// ("6.27"); "0.00" when a frame has no block to judge. The count is taken
// as BoundedBlocks gives it.
std::string FormatPercent(std::int64_t blocks, std::int64_t blocks_per_frame);

// "frame,cycle_position,blocks,percent", then a row per report in arrival
// order.
void WriteStatsCsv(std::ostream& out, const RunStats& stats);

// One JSON object: input, frames, blocks_per_frame, threshold (null when not
// given), reported, by_position, reports and segments.
void WriteStatsJson(std::ostream& out, const RunStats& stats);

// "frames 0-299: telecine, woven at cycle positions 2 and 3",
// "frames 300-449: interlaced", "frames 450-599: progressive",
// "frames 600-610: mixed".
std::string DescribeSegment(const CadenceSegment& segment);

}  // namespace vorlith::runner
