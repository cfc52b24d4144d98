// The stream header of a YUV4MPEG2 file: its parsed tags, the plane sizes
// they imply, and the limits that any stream must keep.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlith::media {

// Streams larger than this are refused before any frame memory is sized.
inline constexpr std::int32_t kMaxY4mSide = 16384;
inline constexpr std::int64_t kMaxY4mLumaSamples = std::int64_t{8192} * 8192;

// A header or FRAME line longer than this (without its newline) is refused.
inline constexpr std::size_t kMaxY4mLineBytes = 4096;

// A rate or ratio n:d as written in the header, each part at most INT32_MAX.
struct Y4mRatio {
  std::int32_t numerator = 0;
  std::int32_t denominator = 0;
};

enum class Y4mInterlacing { kUnstated, kProgressive, kTopFieldFirst, kBottomFieldFirst, kMixed };

struct Y4mHeader {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::optional<Y4mRatio> frame_rate;    // F: both parts positive; none for F0:0
  std::optional<Y4mRatio> pixel_aspect;  // A: 0:0 means unknown
  Y4mInterlacing interlacing = Y4mInterlacing::kUnstated;
  std::string colour_space;             // the C tag's value; empty when absent (4:2:0)
  std::vector<std::string> extensions;  // the X tags' values, in order
  // The header line as read, without its newline; written back unchanged so
  // that every tag, known or not to this code, survives a round trip.
  std::string line;

  // Plane 0 is luma (width x height); planes 1 and 2 are chroma at half
  // size, rounded up for odd sizes.
  std::int32_t PlaneWidth(int plane) const;
  std::int32_t PlaneHeight(int plane) const;
  // The bytes of the three planes of one frame, without its FRAME line.
  std::int64_t FrameBytes() const;
};

// Parses a header line (without its newline). `source` names the input in
// the message of the Y4mError thrown for any fault.
Y4mHeader ParseY4mHeader(std::string_view line, std::string_view source);

}  // namespace vorlith::media
