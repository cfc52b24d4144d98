#include <gtest/gtest.h>

#include "combed_frames.h"

namespace vorlith::testing {
namespace {

int BlocksPerBand(const VideoFrame& frame) { return (frame.GetRowSize() + 7) / 8; }

std::uint8_t* Row(VideoFrame& frame, int plane, int r) {
  return frame.GetWritePtr(plane) + static_cast<std::ptrdiff_t>(r) * frame.GetPitch(plane);
}

}  // namespace

bool InCombedBlock(const VideoFrame& frame, int combed, int r, int j) {
  const int block = (r / 8) * BlocksPerBand(frame) + j / 8;
  return block < combed && r / 8 * 8 < frame.GetHeight() - 10;
}

void PaintCombedFrame(VideoFrame& frame, int combed) {
  for (int r = 0; r < frame.GetHeight(); ++r) {
    std::uint8_t* row = Row(frame, PLANAR_Y, r);
    for (int j = 0; j < frame.GetRowSize(); ++j) {
      // Even rows 0 and odd rows 200 inside a combed block; the flat rows
      // around it never make a row test hold three times.
      row[j] = InCombedBlock(frame, combed, r, j) ? (r % 2 ? 200 : 0) : 60;
    }
  }
  for (const int plane : {PLANAR_U, PLANAR_V}) {
    for (int r = 0; r < frame.GetHeight(plane); ++r) {
      std::uint8_t* row = Row(frame, plane, r);
      for (int j = 0; j < frame.GetRowSize(plane); ++j) {
        row[j] = static_cast<std::uint8_t>((plane == PLANAR_U ? 40 : 90) + (r * 7 + j) % 50);
      }
    }
  }
}

::testing::AssertionResult SamePlanes(const VideoFrame& actual, const VideoFrame& expected) {
  for (const int plane : {PLANAR_Y, PLANAR_U, PLANAR_V}) {
    if (actual.GetRowSize(plane) != expected.GetRowSize(plane) ||
        actual.GetHeight(plane) != expected.GetHeight(plane)) {
      return ::testing::AssertionFailure() << "plane " << plane << " differs in size";
    }
    for (int r = 0; r < actual.GetHeight(plane); ++r) {
      const std::uint8_t* a =
          actual.GetReadPtr(plane) + static_cast<std::ptrdiff_t>(r) * actual.GetPitch(plane);
      const std::uint8_t* e =
          expected.GetReadPtr(plane) + static_cast<std::ptrdiff_t>(r) * expected.GetPitch(plane);
      for (int j = 0; j < actual.GetRowSize(plane); ++j) {
        if (a[j] != e[j]) {
          return ::testing::AssertionFailure() << "plane " << plane << " row " << r << " column "
                                               << j << ": " << int{a[j]} << " vs " << int{e[j]};
        }
      }
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace vorlith::testing
