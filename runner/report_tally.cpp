#include "report_tally.h"

#include <algorithm>
#include <charconv>

namespace vorlith::runner {
namespace {

// Reads an optionally signed decimal at the front of `text`.
bool TakeNumber(std::string_view& text, long long* value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  if (error != std::errc() || end == text.data()) return false;
  text.remove_prefix(static_cast<std::size_t>(end - text.data()));
  return true;
}

bool TakeText(std::string_view& text, std::string_view expected) {
  if (text.substr(0, expected.size()) != expected) return false;
  text.remove_prefix(expected.size());
  return true;
}

}  // namespace

std::int64_t BoundedBlocks(std::int64_t blocks) {
  return std::clamp<std::int64_t>(blocks, 0, std::int64_t{1} << 40);
}

std::optional<FrameReport> ParseReportLine(std::string_view line) {
  long long position = 0, frame = 0, blocks = 0;
  if (!TakeText(line, "\r") || !TakeNumber(line, &position) || !TakeText(line, " frame=") ||
      !TakeNumber(line, &frame) || !TakeText(line, " --- Blocks=") || !TakeNumber(line, &blocks) ||
      !line.empty()) {
    return std::nullopt;
  }
  return FrameReport{frame, position, blocks};
}

void ReportTally::Count(std::string_view line) {
  const std::optional<FrameReport> report = ParseReportLine(line);
  if (!report) return;
  ++reported;
  if (report->position >= 0 && report->position < 5) {
    ++by_position[static_cast<std::size_t>(report->position)];
  }
  reports.push_back(*report);
}

std::string ReportTally::Describe() const {
  std::string text = std::to_string(reported);
  text += " reported (by cycle position";
  for (std::size_t p = 0; p < by_position.size(); ++p) {
    text += ' ';
    text += std::to_string(p);
    text += ':';
    text += std::to_string(by_position[p]);
  }
  text += ')';
  return text;
}

}  // namespace vorlith::runner
