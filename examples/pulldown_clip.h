// The example clip: the moving scene telecined with 3:2 pulldown, so that
// two video frames of every five weave fields of different film frames
// and show combing, and three are whole film frames.
#pragma once

#include <cstdint>
#include <string>

namespace vorlith::examples {

struct PulldownClipOptions {
  std::int32_t width = 720;
  std::int32_t height = 480;
  std::int64_t frames = 150;
};

// The film frames whose fields make up one video frame.
struct WovenFields {
  std::int64_t top;
  std::int64_t bottom;
};

// 3:2 pulldown, top field first: film frames A B C D of each cycle become
// the video frames AA BB BC CD DD, so frames 2 and 3 of every five are
// woven from two film frames.
WovenFields PulldownFields(std::int64_t video_frame);

// Writes the clip as a YUV4MPEG2 stream (29.97 frames a second, top field
// first) to `fd`; `output_name` names it in errors. Throws Y4mError for a
// size outside the stream limits or a failed write.
void WritePulldownClip(int fd, const std::string& output_name, const PulldownClipOptions& options);

}  // namespace vorlith::examples
