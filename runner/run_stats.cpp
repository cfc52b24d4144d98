#include "run_stats.h"

#include <algorithm>
#include <cstdio>

#include "text_escapes.h"

namespace vorlith::runner {
namespace {

std::string PositionsText(const CadenceSegment& segment) {
  return std::to_string(segment.woven_position) + " and " +
         std::to_string((segment.woven_position + 1) % 5);
}

}  // namespace

std::string FormatPercent(std::int64_t blocks, std::int64_t blocks_per_frame) {
  if (blocks_per_frame <= 0) return "0.00";
  // Hundredths of a percent, rounded half up; both numbers are bounded, so
  // the product cannot overflow.
  const std::int64_t per_frame = std::min(blocks_per_frame, std::int64_t{1} << 40);
  const std::int64_t hundredths = (BoundedBlocks(blocks) * 10000 + per_frame / 2) / per_frame;
  char text[32];
  std::snprintf(text, sizeof text, "%lld.%02lld", static_cast<long long>(hundredths / 100),
                static_cast<long long>(hundredths % 100));
  return text;
}

void WriteStatsCsv(std::ostream& out, const RunStats& stats) {
  out << "frame,cycle_position,blocks,percent\n";
  for (const FrameReport& report : stats.tally.reports) {
    out << report.frame << ',' << report.position << ',' << report.blocks << ','
        << FormatPercent(report.blocks, stats.blocks_per_frame) << '\n';
  }
}

void WriteStatsJson(std::ostream& out, const RunStats& stats) {
  out << "{\n  \"input\": " << JsonString(stats.input) << ",\n  \"frames\": " << stats.frames
      << ",\n  \"blocks_per_frame\": " << stats.blocks_per_frame << ",\n  \"threshold\": ";
  if (stats.threshold) {
    out << *stats.threshold;
  } else {
    out << "null";
  }
  out << ",\n  \"reported\": " << stats.tally.reported << ",\n  \"by_position\": [";
  for (std::size_t p = 0; p < stats.tally.by_position.size(); ++p) {
    out << (p ? ", " : "") << stats.tally.by_position[p];
  }
  out << "],\n  \"reports\": [";
  const char* separator = "\n";
  for (const FrameReport& report : stats.tally.reports) {
    out << separator << "    {\"frame\": " << report.frame << ", \"position\": " << report.position
        << ", \"blocks\": " << report.blocks << '}';
    separator = ",\n";
  }
  out << (stats.tally.reports.empty() ? "" : "\n  ") << "],\n  \"segments\": [";
  separator = "\n";
  for (const CadenceSegment& segment : stats.segments) {
    out << separator << "    {\"first\": " << segment.first << ", \"last\": " << segment.last
        << ", \"kind\": \"" << CadenceKindName(segment.kind) << '"';
    if (segment.kind == CadenceKind::kTelecine) {
      out << ", \"positions\": [" << segment.woven_position << ", "
          << (segment.woven_position + 1) % 5 << ']';
    }
    out << '}';
    separator = ",\n";
  }
  out << (stats.segments.empty() ? "" : "\n  ") << "]\n}\n";
}

std::string DescribeSegment(const CadenceSegment& segment) {
  std::string line = "frames " + std::to_string(segment.first) + "-" +
                     std::to_string(segment.last) + ": " +
                     std::string(CadenceKindName(segment.kind));
  if (segment.kind == CadenceKind::kTelecine) {
    line += ", woven at cycle positions " + PositionsText(segment);
  }
  return line;
}

}  // namespace vorlith::runner
