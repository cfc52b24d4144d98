// A progressive film scene for the example clip: a textured background with
// a bright vertical bar and a dark diagonal stripe moving across it. Both
// wrap around the frame's left and right edges, so every film frame shows
// them whole and every pair of frames differs by the same motion.
#pragma once

#include <cstdint>

#include "plane_buffer.h"
#include "y4m_frame_buffer.h"
#include "y4m_header.h"

namespace vorlith::examples {

class MovingScene {
 public:
  explicit MovingScene(const media::Y4mHeader& header);

  // Draws the rows of film frame `film_frame` whose index has the parity
  // `parity` (0: the top field's rows, 1: the bottom field's), in all
  // three planes; the other rows of `planes` are left alone. Chroma rows
  // alternate between the fields just as luma rows do.
  void DrawField(std::int64_t film_frame, int parity,
                 const host::PlaneBuffer planes[host::kPlaneCount]) const;

 private:
  // The background is still; it is drawn once and copied under the objects.
  media::Y4mFrameBuffer background_;
  std::int32_t width_;
};

}  // namespace vorlith::examples
