#include "moving_scene.h"

#include <cmath>
#include <cstring>
#include <numbers>

namespace vorlith::examples {
namespace {

// Motion per film frame and object sizes, in luma samples. At 720 wide the
// bar crosses the frame in 60 film frames; every film frame moves both
// objects far enough that weaving two of them combs every block along
// their edges.
constexpr std::int64_t kBarStep = 12;
constexpr std::int64_t kBarWidth = 40;
constexpr std::int64_t kStripeStep = -8;
constexpr std::int64_t kStripeWidth = 32;

struct Colour {
  std::uint8_t y, u, v;
};
constexpr Colour kBar = {225, 40, 170};
constexpr Colour kStripe = {24, 190, 110};

std::uint8_t Channel(const Colour& colour, int plane) {
  return plane == host::kPlaneY ? colour.y : plane == host::kPlaneU ? colour.u : colour.v;
}

// The texture, at luma position (x, y). It varies slowly from row to row
// (periods of 28 rows and more), so a progressive frame has no row that
// differs from its neighbour more than from the row after next: on its own
// the background never looks combed.
std::uint8_t BackgroundSample(int plane, double x, double y) {
  constexpr double kTau = 2 * std::numbers::pi;
  double level;
  if (plane == host::kPlaneY) {
    level = 110 + 35 * std::sin(kTau * x / 23) * std::sin(kTau * y / 31) +
            20 * std::sin(kTau * (x + 2 * y) / 57);
  } else if (plane == host::kPlaneU) {
    level = 128 + 10 * std::sin(kTau * x / 97);
  } else {
    level = 128 + 10 * std::cos(kTau * y / 89);
  }
  return static_cast<std::uint8_t>(std::lround(level));
}

std::int64_t Wrap(std::int64_t value, std::int64_t period) {
  const std::int64_t rest = value % period;
  return rest < 0 ? rest + period : rest;
}

}  // namespace

MovingScene::MovingScene(const media::Y4mHeader& header)
    : background_(header), width_(header.width) {
  for (int p = 0; p < host::kPlaneCount; ++p) {
    const host::PlaneBuffer& plane = background_.plane(p);
    const int scale = p == host::kPlaneY ? 1 : 2;
    for (std::int32_t r = 0; r < plane.height; ++r) {
      for (std::int32_t c = 0; c < plane.row_size; ++c) {
        plane.data[r * plane.pitch + c] = BackgroundSample(p, c * scale, r * scale);
      }
    }
  }
}

void MovingScene::DrawField(std::int64_t film_frame, int parity,
                            const host::PlaneBuffer planes[host::kPlaneCount]) const {
  const std::int64_t bar_left = kBarStep * film_frame;
  const std::int64_t stripe_left = width_ / 2 + kStripeStep * film_frame;
  for (int p = 0; p < host::kPlaneCount; ++p) {
    const host::PlaneBuffer& from = background_.plane(p);
    const host::PlaneBuffer& to = planes[p];
    const int scale = p == host::kPlaneY ? 1 : 2;
    for (std::int32_t r = parity; r < to.height; r += 2) {
      std::uint8_t* row = to.data + r * to.pitch;
      std::memcpy(row, from.data + r * from.pitch, static_cast<std::size_t>(to.row_size));
      const std::int64_t y = std::int64_t{r} * scale;
      for (std::int32_t c = 0; c < to.row_size; ++c) {
        const std::int64_t x = std::int64_t{c} * scale;
        if (Wrap(x - bar_left, width_) < kBarWidth) {
          row[c] = Channel(kBar, p);
        } else if (Wrap(x + y - stripe_left, width_) < kStripeWidth) {
          row[c] = Channel(kStripe, p);
        }
      }
    }
  }
}

}  // namespace vorlith::examples
