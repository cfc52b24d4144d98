// The equivalence check shared by the checker and the fuzzer: every form of
// the scan against the scalar reference on one plane.
#pragma once

#include <string>
#include <vector>

#include "guarded_plane.h"

namespace vorlith::testing {

// "row size 13, pitch -24, height 19, misalign 5".
std::string DescribeGeometry(const GuardedPlane& plane);

// Scans copies of `original` with the reference and with every other form
// that this machine supports, with show off and on, each through FencedScan.
// Every form must give the reference's count and leave every byte of the
// buffer as the reference does; the reference must leave the guard bytes
// alone, write nothing without show, and count the same either way. Returns
// one line per failed check, naming the form, the geometry and the first
// differing byte; empty when all agree.
std::vector<std::string> CompareWithReference(const GuardedPlane& original);

}  // namespace vorlith::testing
