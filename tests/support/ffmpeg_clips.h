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
  // `ffmpeg -i PATH ARGS... -f yuv4mpegpipe`, read back with Y4mReader.
  DecodedClip DecodeWithFfmpeg(const std::string& path, const std::vector<std::string>& args = {});

 private:
  std::string dir_;
};

// The file's bytes, and a file written with `bytes`.
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

}  // namespace vorlith::testing
