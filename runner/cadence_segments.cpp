#include "cadence_segments.h"

#include <algorithm>
#include <array>
#include <limits>

namespace vorlith::runner {
namespace {

// The thresholds of the judgement, as fractions of the blocks in a frame.
constexpr std::int64_t kFloorPerMille = 1;
constexpr std::int64_t kCombedLevelPerMille = 25;
// A frame this many times another's count dominates it ...
constexpr std::int64_t kDominatingRatio = 3;
// ... and one this many times the weakest beside it stands out from it.
constexpr std::int64_t kStandingOutRatio = 2;
// How far either side a frame's neighbours reach: two frames cover every
// clean frame's nearest woven one in a 3:2 cycle.
constexpr std::int64_t kReach = 2;

// The costs of the split.
constexpr std::int64_t kMismatchCost = 10;
constexpr std::int64_t kMixedCost = 3;
constexpr std::int64_t kChangeCost = 20;

// The states of the split. Where several explain the frames equally well the
// first wins, so the plainer kinds go first: a short clip without combing is
// progressive rather than a telecine that has not yet woven.
constexpr int kProgressive = 0;
constexpr int kInterlaced = 1;
constexpr int kFirstPhase = 2;  // telecine woven at positions p and p+1: state kFirstPhase + p
constexpr int kMixed = kFirstPhase + 5;
constexpr int kStates = kMixed + 1;

// What is known of each frame's count: the count itself where the frame was
// reported, otherwise the most it can have been.
struct FrameCounts {
  std::vector<std::int64_t> count;
  std::vector<bool> reported;
};

FrameCounts CollectCounts(const std::vector<FrameReport>& reports, std::int64_t frames,
                          std::optional<int> threshold) {
  FrameCounts counts;
  counts.count.assign(static_cast<std::size_t>(frames), 0);
  counts.reported.assign(static_cast<std::size_t>(frames), false);
  std::int64_t smallest = std::numeric_limits<std::int64_t>::max();
  for (const FrameReport& report : reports) {
    if (report.frame < 0 || report.frame >= frames) continue;
    const auto f = static_cast<std::size_t>(report.frame);
    const std::int64_t blocks = BoundedBlocks(report.blocks);
    counts.count[f] = counts.reported[f] ? std::max(counts.count[f], blocks) : blocks;
    counts.reported[f] = true;
    smallest = std::min(smallest, blocks);
  }
  // Without reports the bound does not matter: no frame is combed.
  const std::int64_t bound = BoundedBlocks(threshold ? *threshold : smallest - 1);
  for (std::size_t f = 0; f < counts.count.size(); ++f) {
    if (!counts.reported[f]) counts.count[f] = bound;
  }
  return counts;
}

bool Predicts(int state, std::int64_t frame) {
  if (state == kInterlaced) return true;
  if (state == kProgressive || state == kMixed) return false;
  const std::int64_t phase = state - kFirstPhase;
  const std::int64_t position = frame % 5;
  return position == phase || position == (phase + 1) % 5;
}

std::int64_t FrameCost(int state, std::int64_t frame, bool combed) {
  if (state == kMixed) return kMixedCost;
  return Predicts(state, frame) == combed ? 0 : kMismatchCost;
}

CadenceSegment SegmentOf(int state, std::int64_t first, std::int64_t last) {
  if (state == kProgressive) return {first, last, CadenceKind::kProgressive, 0};
  if (state == kInterlaced) return {first, last, CadenceKind::kInterlaced, 0};
  if (state == kMixed) return {first, last, CadenceKind::kMixed, 0};
  return {first, last, CadenceKind::kTelecine, state - kFirstPhase};
}

}  // namespace

std::string_view CadenceKindName(CadenceKind kind) {
  switch (kind) {
    case CadenceKind::kTelecine:
      return "telecine";
    case CadenceKind::kInterlaced:
      return "interlaced";
    case CadenceKind::kProgressive:
      return "progressive";
    case CadenceKind::kMixed:
      break;
  }
  return "mixed";
}

std::vector<bool> JudgeCombedFrames(const std::vector<FrameReport>& reports, std::int64_t frames,
                                    std::optional<int> threshold, std::int64_t blocks_per_frame) {
  frames = std::max<std::int64_t>(frames, 0);
  const FrameCounts counts = CollectCounts(reports, frames, threshold);
  const std::int64_t floor = std::max<std::int64_t>(1, blocks_per_frame * kFloorPerMille / 1000);
  const std::int64_t level =
      std::max<std::int64_t>(1, (blocks_per_frame * kCombedLevelPerMille + 500) / 1000);
  std::vector<bool> combed(static_cast<std::size_t>(frames), false);
  for (std::int64_t f = 0; f < frames; ++f) {
    const std::int64_t count = counts.count[static_cast<std::size_t>(f)];
    if (!counts.reported[static_cast<std::size_t>(f)] || count < floor) continue;
    bool dominated = false;
    std::int64_t weakest = count;
    for (std::int64_t g = std::max<std::int64_t>(0, f - kReach);
         g <= std::min(frames - 1, f + kReach); ++g) {
      if (g == f) continue;
      const std::int64_t other = counts.count[static_cast<std::size_t>(g)];
      dominated = dominated || other >= kDominatingRatio * count;
      weakest = std::min(weakest, other);
    }
    combed[static_cast<std::size_t>(f)] =
        !dominated && (count >= level || count >= kStandingOutRatio * weakest);
  }
  return combed;
}

std::vector<CadenceSegment> SegmentCadence(const std::vector<bool>& combed) {
  const auto frames = static_cast<std::int64_t>(combed.size());
  if (frames == 0) return {};
  // Run from the last frame back: cost[s] is the cheapest explanation of the
  // frames from f on that starts in state s, and next[f][s] the state that
  // frame f + 1 then takes. Preferring to stay on a tie puts every change as
  // late as it can go.
  std::vector<std::array<std::uint8_t, kStates>> next(static_cast<std::size_t>(frames));
  std::array<std::int64_t, kStates> cost{};
  for (int s = 0; s < kStates; ++s) cost[s] = FrameCost(s, frames - 1, combed.back());
  for (std::int64_t f = frames - 2; f >= 0; --f) {
    const int best = static_cast<int>(std::min_element(cost.begin(), cost.end()) - cost.begin());
    std::array<std::int64_t, kStates> here{};
    for (int s = 0; s < kStates; ++s) {
      const bool stay = cost[s] <= cost[best] + kChangeCost;
      next[static_cast<std::size_t>(f)][s] = static_cast<std::uint8_t>(stay ? s : best);
      here[s] = FrameCost(s, f, combed[static_cast<std::size_t>(f)]) +
                (stay ? cost[s] : cost[best] + kChangeCost);
    }
    cost = here;
  }

  std::vector<CadenceSegment> segments;
  int state = static_cast<int>(std::min_element(cost.begin(), cost.end()) - cost.begin());
  std::int64_t first = 0;
  for (std::int64_t f = 0; f + 1 < frames; ++f) {
    const int following = next[static_cast<std::size_t>(f)][state];
    if (following == state) continue;
    segments.push_back(SegmentOf(state, first, f));
    state = following;
    first = f + 1;
  }
  segments.push_back(SegmentOf(state, first, frames - 1));
  return segments;
}

std::vector<CadenceSegment> FindCadenceSegments(const std::vector<FrameReport>& reports,
                                                std::int64_t frames, std::optional<int> threshold,
                                                std::int64_t blocks_per_frame) {
  return SegmentCadence(JudgeCombedFrames(reports, frames, threshold, blocks_per_frame));
}

}  // namespace vorlith::runner
