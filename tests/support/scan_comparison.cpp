#include "scan_comparison.h"

#include <cstdint>

#include "fenced_scan.h"
#include "scan_paths.h"

namespace vorlith::testing {

std::string DescribeGeometry(const GuardedPlane& plane) {
  return "row size " + std::to_string(plane.row_size()) + ", pitch " +
         std::to_string(plane.pitch()) + ", height " + std::to_string(plane.height()) +
         ", misalign " + std::to_string(plane.misalign());
}

std::vector<std::string> CompareWithReference(const GuardedPlane& original) {
  const ScanPathList paths = SupportedScanPaths();
  const std::string geometry = DescribeGeometry(original);
  std::vector<std::string> failures;
  std::int32_t reference_counts[2] = {};
  for (const bool show : {false, true}) {
    const std::string where = geometry + (show ? ", show on" : ", show off");
    GuardedPlane expected = original;
    const std::int32_t expected_count = FencedScan(ScanCombedBlocksScalar, expected, show);
    reference_counts[show] = expected_count;
    if (!expected.GuardsIntact()) failures.push_back("scalar wrote a guard byte on " + where);
    if (const std::string written = expected.FirstDifference(original); !show && !written.empty()) {
      failures.push_back("scalar wrote without show on " + where + ": " + written);
    }
    for (int p = 1; p < paths.count; ++p) {
      GuardedPlane actual = original;
      const std::int32_t count = FencedScan(paths.paths[p].scan, actual, show);
      const std::string difference = actual.FirstDifference(expected);
      if (count == expected_count && difference.empty()) continue;
      failures.push_back(std::string(paths.paths[p].name) + " differs from the reference on " +
                         where + " (its value first): count " + std::to_string(count) + " vs " +
                         std::to_string(expected_count) + (difference.empty() ? "" : ", ") +
                         difference);
    }
  }
  if (reference_counts[0] != reference_counts[1]) {
    failures.push_back("scalar counts " + std::to_string(reference_counts[0]) +
                       " without show and " + std::to_string(reference_counts[1]) + " with it on " +
                       geometry);
  }
  return failures;
}

}  // namespace vorlith::testing
