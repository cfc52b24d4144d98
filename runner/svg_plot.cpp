#include "svg_plot.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "text_escapes.h"

namespace vorlith::runner {
namespace {

// The page: the plot area, with room for the title and legend above it and
// the axes' numbers and names around it.
constexpr double kLeft = 80;
constexpr double kTop = 78;
constexpr double kPlotHeight = 360;
constexpr double kRight = 50;  // room for the threshold's label
constexpr double kWidth = kLeft + kPlotColumns + kRight;
constexpr double kHeight = kTop + kPlotHeight + 62;

// Told apart by people with any colour vision (the Okabe-Ito palette).
constexpr std::array<const char*, 5> kPositionColours = {"#0072B2", "#E69F00", "#009E73", "#D55E00",
                                                         "#CC79A7"};

const char* BandColour(CadenceKind kind) {
  switch (kind) {
    case CadenceKind::kTelecine:
      return "#FFF1B8";
    case CadenceKind::kInterlaced:
      return "#F9D3D3";
    case CadenceKind::kProgressive:
      return "#DCEFDC";
    case CadenceKind::kMixed:
      break;
  }
  return "#E4E4E4";
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  return text;
}

// A step of 1, 2 or 5 times a power of ten that divides `range` into at
// most `ticks` parts.
std::int64_t TickStep(std::int64_t range, std::int64_t ticks) {
  for (std::int64_t power = 1;; power *= 10) {
    for (const std::int64_t factor : {1, 2, 5}) {
      if (range <= factor * power * ticks) return factor * power;
    }
  }
}

// Reports of frames outside the run, which another filter may send, have no
// place on the frame axis.
bool InRun(const FrameReport& report, const RunStats& stats) {
  return report.frame >= 0 && report.frame < stats.frames;
}

// The largest count of each cycle position among the frames of each column
// (frames / columns of them, give or take one); -1 where none of them was
// reported.
using ColumnPeaks = std::vector<std::array<std::int64_t, 5>>;

ColumnPeaks PeaksByColumn(const RunStats& stats, std::int64_t columns) {
  ColumnPeaks peaks(static_cast<std::size_t>(columns));
  for (auto& column : peaks) column.fill(-1);
  for (const FrameReport& report : stats.tally.reports) {
    if (!InRun(report, stats)) continue;
    auto& peak = peaks[static_cast<std::size_t>(report.frame * columns / stats.frames)]
                      [static_cast<std::size_t>(report.frame % 5)];
    peak = std::max(peak, BoundedBlocks(report.blocks));
  }
  return peaks;
}

class Plot {
 public:
  Plot(std::ostream& out, const RunStats& stats) : out_(out), stats_(stats) {
    frames_ = std::max<std::int64_t>(stats.frames, 1);
    std::int64_t top = 0;
    for (const FrameReport& report : stats.tally.reports) {
      if (InRun(report, stats)) top = std::max(top, BoundedBlocks(report.blocks));
    }
    if (stats.threshold) top = std::max(top, BoundedBlocks(*stats.threshold));
    count_step_ = TickStep(std::max<std::int64_t>(top, 1), 6);
    count_top_ = (std::max<std::int64_t>(top, 1) + count_step_ - 1) / count_step_ * count_step_;
  }

  void Write() {
    out_ << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\""
         << kHeight << "\" viewBox=\"0 0 " << kWidth << ' ' << kHeight
         << "\" font-family=\"DejaVu Sans, Arial, sans-serif\" font-size=\"12\">\n"
         << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    Title();
    Bands();
    CountAxis();
    Counts();
    Threshold();
    FrameAxis();
    Legend();
    out_ << "</svg>\n";
  }

 private:
  double X(std::int64_t frame) const {
    return kLeft + static_cast<double>(frame) * kPlotColumns / static_cast<double>(frames_);
  }
  double Y(std::int64_t count) const {
    return kTop + kPlotHeight -
           static_cast<double>(count) * kPlotHeight / static_cast<double>(count_top_);
  }

  void Text(double x, double y, const std::string& text, const char* anchor = "start",
            const char* extra = "") {
    out_ << "<text x=\"" << Number(x) << "\" y=\"" << Number(y) << "\" text-anchor=\"" << anchor
         << "\"" << extra << '>' << XmlText(text) << "</text>\n";
  }

  void Rect(double x, double y, double width, double height, const char* fill) {
    out_ << "<rect x=\"" << Number(x) << "\" y=\"" << Number(y) << "\" width=\"" << Number(width)
         << "\" height=\"" << Number(height) << "\" fill=\"" << fill << "\"/>\n";
  }

  void Line(double x1, double y1, double x2, double y2, const char* style) {
    out_ << "<line x1=\"" << Number(x1) << "\" y1=\"" << Number(y1) << "\" x2=\"" << Number(x2)
         << "\" y2=\"" << Number(y2) << "\" " << style << "/>\n";
  }

  void Title() {
    Text(kLeft, 24,
         "Combed blocks per reported frame: " + stats_.input + " (" +
             std::to_string(stats_.frames) + " frames, " + std::to_string(stats_.tally.reported) +
             " reported)",
         "start", " font-size=\"15\" font-weight=\"bold\"");
    const std::int64_t per_column = (frames_ + kPlotColumns - 1) / kPlotColumns;
    if (per_column > 1) {
      Text(kLeft + kPlotColumns, 24,
           "each column: the largest count of up to " + std::to_string(per_column) + " frames",
           "end", " fill=\"#555\"");
    }
  }

  // A shaded band per segment, labelled with its kind where it is wide
  // enough for the words; thin lines mark where one segment gives way to
  // the next.
  void Bands() {
    for (const CadenceSegment& segment : stats_.segments) {
      const double x = X(segment.first);
      const double width = X(segment.last + 1) - x;
      Rect(x, kTop, width, kPlotHeight, BandColour(segment.kind));
      if (segment.first > 0) Line(x, kTop, x, kTop + kPlotHeight, "stroke=\"#888\"");
      std::string label(CadenceKindName(segment.kind));
      if (segment.kind == CadenceKind::kTelecine) {
        label += ' ' + std::to_string(segment.woven_position) + '+' +
                 std::to_string((segment.woven_position + 1) % 5);
      }
      // About 7 pixels a character at this size.
      if (width >= 7.0 * static_cast<double>(label.size()) + 8) {
        Text(x + width / 2, kTop + 16, label, "middle", " fill=\"#444\"");
      }
    }
  }

  void CountAxis() {
    for (std::int64_t count = 0; count <= count_top_; count += count_step_) {
      const double y = Y(count);
      Line(kLeft, y, kLeft + kPlotColumns, y, "stroke=\"#000\" stroke-opacity=\"0.08\"");
      Line(kLeft - 5, y, kLeft, y, "stroke=\"#000\"");
      Text(kLeft - 8, y + 4, std::to_string(count), "end");
    }
    Line(kLeft, kTop, kLeft, kTop + kPlotHeight, "stroke=\"#000\"");
    Text(18, kTop + kPlotHeight / 2, "combed blocks", "middle",
         (" transform=\"rotate(-90 18 " + Number(kTop + kPlotHeight / 2) + ")\"").c_str());
  }

  // While every frame has a column of its own, a bar per reported frame.
  // Longer clips get a line per position through the columns' peaks, broken
  // where a column has no report of that position: bars of five positions
  // squeezed into one pixel would blur into one colour.
  void Counts() {
    if (frames_ <= kPlotColumns) {
      Bars();
    } else {
      PeakLines();
    }
  }

  void Bars() {
    const double width = static_cast<double>(kPlotColumns) / static_cast<double>(frames_);
    const double gap = width >= 4 ? width / 5 : 0;  // wide bars stand apart
    for (const FrameReport& report : stats_.tally.reports) {
      if (!InRun(report, stats_)) continue;
      const double top = Y(BoundedBlocks(report.blocks));
      Rect(X(report.frame) + gap / 2, top, width - gap, std::max(kTop + kPlotHeight - top, 1.0),
           kPositionColours[static_cast<std::size_t>(report.frame % 5)]);
    }
  }

  void PeakLines() {
    const ColumnPeaks peaks = PeaksByColumn(stats_, kPlotColumns);
    for (std::size_t p = 0; p < kPositionColours.size(); ++p) {
      std::string path;
      bool drawing = false;
      for (std::size_t c = 0; c < peaks.size(); ++c) {
        const std::int64_t peak = peaks[c][p];
        if (peak < 0) {
          drawing = false;
          continue;
        }
        const std::string point =
            Number(kLeft + static_cast<double>(c) + 0.5) + ' ' + Number(Y(peak));
        // A line of no length starts each piece, so that a lone peak shows
        // as a dot.
        path += drawing ? " L" + point : " M" + point + " l0 0";
        drawing = true;
      }
      if (path.empty()) continue;
      out_ << "<path d=\"" << path.substr(1) << "\" fill=\"none\" stroke=\"" << kPositionColours[p]
           << "\" stroke-width=\"2\" stroke-opacity=\"0.85\" stroke-linejoin=\"round\" "
              "stroke-linecap=\"round\"/>\n";
    }
  }

  void Threshold() {
    if (!stats_.threshold || *stats_.threshold < 0) return;
    const double y = Y(*stats_.threshold);
    Line(kLeft, y, kLeft + kPlotColumns, y,
         "stroke=\"#000\" stroke-width=\"1.5\" stroke-dasharray=\"6 4\"");
    Text(kLeft + kPlotColumns + 4, y + 4, "th=" + std::to_string(*stats_.threshold));
  }

  void FrameAxis() {
    const double y = kTop + kPlotHeight;
    Line(kLeft, y, kLeft + kPlotColumns, y, "stroke=\"#000\"");
    for (std::int64_t frame = 0, step = TickStep(frames_, 10); frame <= frames_; frame += step) {
      Line(X(frame), y, X(frame), y + 5, "stroke=\"#000\"");
      Text(X(frame), y + 18, std::to_string(frame), "middle");
    }
    Text(kLeft + kPlotColumns / 2.0, y + 40, "frame", "middle");
  }

  void Legend() {
    double x = kLeft;
    Text(x, 52, "cycle position:");
    x += 95;
    for (int p = 0; p < 5; ++p) {
      Rect(x, 42, 12, 12, kPositionColours[p]);
      Text(x + 16, 52, std::to_string(p));
      x += 34;
    }
    x += 20;
    Text(x, 52, "segments:");
    x += 70;
    for (const CadenceKind kind : {CadenceKind::kTelecine, CadenceKind::kInterlaced,
                                   CadenceKind::kProgressive, CadenceKind::kMixed}) {
      Rect(x, 42, 12, 12, BandColour(kind));
      out_ << "<rect x=\"" << Number(x) << "\" y=\"42\" width=\"12\" height=\"12\" fill=\"none\" "
           << "stroke=\"#888\"/>\n";
      const std::string_view name = CadenceKindName(kind);
      Text(x + 16, 52, std::string(name));
      x += 26 + 7.0 * static_cast<double>(name.size());
    }
  }

  std::ostream& out_;
  const RunStats& stats_;
  std::int64_t frames_ = 1;  // at least one, so that an empty run still has axes
  std::int64_t count_step_ = 1;
  std::int64_t count_top_ = 1;
};

}  // namespace

void WriteSvgPlot(std::ostream& out, const RunStats& stats) { Plot(out, stats).Write(); }

}  // namespace vorlith::runner
