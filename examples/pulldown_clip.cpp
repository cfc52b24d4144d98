#include "pulldown_clip.h"

#include "moving_scene.h"
#include "y4m_frame_buffer.h"
#include "y4m_header.h"
#include "y4m_writer.h"

namespace vorlith::examples {

WovenFields PulldownFields(std::int64_t video_frame) {
  // Positions 0..4 of a cycle take these film frames of its four (A..D).
  constexpr int kTop[5] = {0, 1, 1, 2, 3};
  constexpr int kBottom[5] = {0, 1, 2, 3, 3};
  const std::int64_t first_film_frame = video_frame / 5 * 4;
  const std::int64_t position = video_frame % 5;
  return {first_film_frame + kTop[position], first_film_frame + kBottom[position]};
}

void WritePulldownClip(int fd, const std::string& output_name, const PulldownClipOptions& options) {
  const media::Y4mHeader header =
      media::ParseY4mHeader("YUV4MPEG2 W" + std::to_string(options.width) + " H" +
                                std::to_string(options.height) + " F30000:1001 It C420mpeg2",
                            output_name);
  const MovingScene scene(header);
  const media::Y4mFrameBuffer frame(header);
  media::Y4mWriter writer(fd, output_name, header);
  for (std::int64_t n = 0; n < options.frames; ++n) {
    const WovenFields fields = PulldownFields(n);
    scene.DrawField(fields.top, 0, frame.planes());
    scene.DrawField(fields.bottom, 1, frame.planes());
    writer.WriteFrame(frame.views(), "");
  }
}

}  // namespace vorlith::examples
