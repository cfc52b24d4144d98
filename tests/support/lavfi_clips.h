// Clips made from ffmpeg's lavfi sources and joined end to end: telecined,
// field-interleaved and progressive pieces, as shell commands that write
// the clip to standard output as y4m at 30000/1001 frames a second.
#pragma once

#include <string>
#include <vector>

namespace vorlith::testing {

enum class Weave {
  kTelecine,     // a 24000/1001 source through 3:2 pulldown, top field first
  kInterlaced,   // a 60000/1001 source, two pictures' fields in every frame
  kProgressive,  // a 30000/1001 source as it is
};

struct ClipPiece {
  Weave weave;
  std::string source;  // a lavfi source, "testsrc2" or "mandelbrot"
  int frames = 0;
  // Frames of the woven material left out before the piece: a telecined
  // piece after another of the same source with skip > its end moves the
  // cadence's phase, as an edit does.
  int skip = 0;
};

// The pieces one after the other, at `size` ("720x480").
std::string JoinedClipCommand(const std::vector<ClipPiece>& pieces, const std::string& size);

// `frames` frames of telecined `source`, one frame dropped after every
// `every`: an edit every few cycles, each moving the woven pair one position
// earlier.
std::string EditedTelecineCommand(const std::string& source, const std::string& size, int every,
                                  int frames);

// What these commands need of ffmpeg and is missing here ("ffmpeg", or the
// filter's name); empty when everything is there.
std::string MissingFfmpegFeature();

}  // namespace vorlith::testing
