// One picture of a run: the combed blocks of every reported frame across the
// clip, coloured by cycle position, over shaded bands for the cadence
// segments, with the threshold as a dashed line where it was given (and is
// not negative). A self-contained SVG document that a browser shows as it
// is.
#pragma once

#include <ostream>

#include "run_stats.h"

namespace vorlith::runner {

// The plot is this many pixel columns wide whatever the clip's length: a
// column then shows, for each cycle position, the largest count of the
// frames it covers.
inline constexpr int kPlotColumns = 1000;

void WriteSvgPlot(std::ostream& out, const RunStats& stats);

}  // namespace vorlith::runner
