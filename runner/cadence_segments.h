// Splits a clip into stretches of one cadence each, from the report lines
// alone, as a viewer of the debug channel knows them: telecined (woven frames
// on two adjacent cycle positions), interlaced (every frame combed),
// progressive (none) or mixed (anything else).
//
// First every frame is judged combed or clean from its count and its
// neighbours' counts (JudgeCombedFrames); then the sequence of judgements is
// split into the stretches that explain it best (SegmentCadence). Both are
// linear in the clip's length and use integer arithmetic only, so a clip
// gives the same segments on every machine.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "report_tally.h"

namespace vorlith::runner {

enum class CadenceKind { kTelecine, kInterlaced, kProgressive, kMixed };

// "telecine", "interlaced", "progressive", "mixed".
std::string_view CadenceKindName(CadenceKind kind);

struct CadenceSegment {
  std::int64_t first = 0;
  std::int64_t last = 0;  // inclusive
  CadenceKind kind = CadenceKind::kProgressive;
  // Telecine only: the woven frames fall on this cycle position and the
  // next, (woven_position + 1) % 5.
  int woven_position = 0;

  friend bool operator==(const CadenceSegment&, const CadenceSegment&) = default;
};

// What the report lines tell about each of the first `frames` frames:
// whether it is combed (woven from two pictures) rather than clean.
//
// A frame that was not reported is clean; its count is known to be at most
// `threshold` when that is known, and otherwise below the smallest count that
// was reported (one threshold holds for the whole run). A reported frame is
// combed when its count
//  - reaches a thousandth of `blocks_per_frame` (at least 1), so that a few
//    stray blocks never count;
//  - is not dominated: no frame within two of it counts three times as many
//    (a clean frame beside a woven pair, however detailed its picture);
//  - and either reaches 2.5% of `blocks_per_frame`, which detailed clean
//    pictures stay below and interlaced ones pass, or is at least twice the
//    smallest count within two frames of it (a woven frame of faint
//    material).
// The cycle position comes from the frame number. Reports of frames outside
// 0..frames-1 are ignored; a frame reported more than once, as happens when
// two filters report on one clip, counts with its largest count. The order of
// the reports does not matter.
std::vector<bool> JudgeCombedFrames(const std::vector<FrameReport>& reports, std::int64_t frames,
                                    std::optional<int> threshold, std::int64_t blocks_per_frame);

// Splits the judged frames into segments that cover every frame once, in
// order. Each kind predicts which frames are combed: telecine at phase p
// those on positions p and p+1, interlaced all, progressive none; mixed
// predicts nothing and costs 3 a frame. A frame against its segment's
// prediction costs 10, and every change of segment costs 20, and the
// cheapest split wins (a dynamic program over the eight possible states). So
// one odd cycle in a long segment costs less than leaving it and coming back,
// while a lasting change pays for its boundary within a cycle or two. Of
// equally cheap splits the boundary goes to the latest frame, which is the
// first frame the earlier segment does not explain: where the pattern
// visibly changes.
std::vector<CadenceSegment> SegmentCadence(const std::vector<bool>& combed);

// Both steps at once.
std::vector<CadenceSegment> FindCadenceSegments(const std::vector<FrameReport>& reports,
                                                std::int64_t frames, std::optional<int> threshold,
                                                std::int64_t blocks_per_frame);

}  // namespace vorlith::runner
