// Frames with a known number of combed blocks, for tests of the filter.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "plugin_interface.h"

namespace vorlith::testing {

// Luma 60 with the first `combed` blocks of the scan's grid (band by band,
// left to right) made of two fields, 0 and 200, so that exactly those blocks
// comb; chroma planes hold a pattern that tells them apart. The frame must
// be writable.
void PaintCombedFrame(VideoFrame& frame, int combed);

// Whether the sample at luma row r, column j lies in one of the first
// `combed` blocks of the grid.
bool InCombedBlock(const VideoFrame& frame, int combed, int r, int j);

// Equality of two frames' planes, sample for sample over the row size.
::testing::AssertionResult SamePlanes(const VideoFrame& actual, const VideoFrame& expected);

}  // namespace vorlith::testing
