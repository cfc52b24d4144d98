// Runs one form of the scan on a GuardedPlane with AddressSanitizer watching
// its reach, so that a stray read is reported where it happens and not only
// a stray write afterwards, when the bytes are compared.
#pragma once

#include <cstdint>

#include "guarded_plane.h"
#include "scan_paths.h"

namespace vorlith::testing {

// Scans plane.View() while every byte of the buffer that the scan must not
// touch is unaddressable: the guard bytes, each row's bytes past the scanned
// width, and the rows that no band reads. ASan keeps addressability in
// 8-byte granules whose addressable bytes come first, so where a row starts
// inside a granule, up to 7 bytes before the row stay addressable. Without
// ASan this is just the scan.
std::int32_t FencedScan(ScanFunction scan, GuardedPlane& plane, bool show);

}  // namespace vorlith::testing
