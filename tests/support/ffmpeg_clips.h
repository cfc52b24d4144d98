// Clips made at test time by the ffmpeg program from its lavfi sources,
// and the same clips decoded by it to YUV4MPEG2, for the tests of the
// media layer. Each fixture test skips itself, with a note, where ffmpeg
// or the encoder it needs is missing.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorlith::testing {

// A clip's header line and the plane bytes of each frame in order.
struct DecodedClip {
  std::string header_line;
  std::vector<std::string> frames;
};

class FfmpegClips : public ::testing::Test {
 protected:
  FfmpegClips();
  ~FfmpegClips() override;

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }

  // Why ffmpeg cannot make a clip with `encoder` (it is not installed, or
  // it lacks the encoder), or empty when it can. A test skips with it:
  //   if (const std::string why = MissingEncoder("ffv1"); !why.empty()) GTEST_SKIP() << why;
  static std::string MissingEncoder(const std::string& encoder);
  // Runs `ffmpeg -v error -y ARGS... FILE` to make Path(name); fails the
  // test when it does not succeed.
  std::string MakeClip(const std::string& name, const std::vector<std::string>& args);
  // Files that a reader must refuse unless asked otherwise: a 4:2:2 video
  // stream (index 0) beside an audio stream, audio alone, and words. Needs
  // the ffv1 encoder.
  struct UnreadableClips {
    std::string yuv422_with_audio;
    std::string audio_only;
    std::string not_media;
  };
  UnreadableClips MakeUnreadableClips();
  // `ffmpeg -i PATH ARGS... -f yuv4mpegpipe PATH.ffmpeg.y4m`; its path.
  std::string DecodeToY4m(const std::string& path, const std::vector<std::string>& args = {});
  // The same, read back with Y4mReader.
  DecodedClip DecodeWithFfmpeg(const std::string& path, const std::vector<std::string>& args = {});

 private:
  std::string dir_;
};

// ffmpeg's arguments for the clips the tests make, before the output file.
// testsrc2 at 320x240, 25 frames a second.
extern const std::vector<std::string> kTestSource;
// Telecined film: 24000/1001 frames a second woven into 30000/1001 by 3:2
// pulldown, top field first, coded as interlaced MPEG-2; 15 frames.
extern const std::vector<std::string> kTelecinedMpeg2;
// 40 frames of interlaced H.264, and of progressive MPEG-2 at 352x240.
extern const std::vector<std::string> kInterlacedH264;
extern const std::vector<std::string> kMpeg2;
// `head` and then `tail`.
std::vector<std::string> Args(std::vector<std::string> head, const std::vector<std::string>& tail);

}  // namespace vorlith::testing
