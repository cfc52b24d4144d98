// The FFmpeg reader against the ffmpeg program: the same file decoded by
// both gives the same header line and the same bytes in every frame, for
// the codecs and containers users bring. Then damaged files, refusals and
// open errors, and input through a descriptor whose first bytes were read.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "ffmpeg_clips.h"
#include "ffmpeg_reader.h"
#include "y4m_frame_buffer.h"
#include "y4m_streams.h"

namespace vorlith::testing {
namespace {

using media::FfmpegReader;
using media::FfmpegReaderOptions;

// Every line the reader sent to its log.
struct Logged {
  std::vector<std::string> lines;
  FfmpegReaderOptions Options(bool convert = false) {
    FfmpegReaderOptions options;
    options.convert_to_yv12 = convert;
    options.log = [this](std::string_view line) { lines.emplace_back(line); };
    return options;
  }
};

// Every frame the reader gives, into planes with rows padded to 64 bytes
// as the host's frames are.
std::vector<std::string> ReadAllFrames(FfmpegReader& reader) {
  const std::int32_t width = reader.header().width;
  host::Y4mFrameBuffer frame(reader.header(), (64 - width % 64) % 64);
  std::vector<std::string> frames;
  while (reader.ReadFrame(frame.planes())) frames.push_back(PlaneBytes(frame.planes()));
  return frames;
}

struct ComparisonCase {
  std::string name;  // the test's name and the clip's file name
  std::string encoder;
  std::vector<std::string> make;           // ffmpeg's arguments before the output
  std::vector<std::string> ffmpeg_decode;  // ffmpeg's arguments for its y4m
  bool convert = false;
  host::Y4mInterlacing field_order = host::Y4mInterlacing::kProgressive;
};

void PrintTo(const ComparisonCase& c, std::ostream* os) { *os << c.name; }

class FfmpegReaderMatchesFfmpeg : public FfmpegClips,
                                  public ::testing::WithParamInterface<ComparisonCase> {};

TEST_P(FfmpegReaderMatchesFfmpeg, HeaderLineAndEveryFrame) {
  const ComparisonCase& c = GetParam();
  if (const std::string why = MissingEncoder(c.encoder); !why.empty()) GTEST_SKIP() << why;
  const std::string clip = MakeClip(c.name, c.make);
  const DecodedClip expected = DecodeWithFfmpeg(clip, c.ffmpeg_decode);
  ASSERT_FALSE(expected.frames.empty());

  Logged logged;
  FfmpegReader reader(clip, logged.Options(c.convert));
  EXPECT_EQ(reader.header().line, expected.header_line);
  EXPECT_EQ(reader.info().field_order, c.field_order);
  EXPECT_EQ(reader.info().converted, c.convert);
  const std::vector<std::string> frames = ReadAllFrames(reader);
  ASSERT_EQ(frames.size(), expected.frames.size());
  for (std::size_t n = 0; n < frames.size(); ++n) {
    EXPECT_TRUE(frames[n] == expected.frames[n]) << "frame " << n << " differs";
  }
  EXPECT_EQ(reader.frames_read(), static_cast<std::int64_t>(frames.size()));
  EXPECT_EQ(reader.frames_lost(), 0);
  EXPECT_EQ(reader.frames_damaged(), 0);
  EXPECT_FALSE(reader.rate_varied());
  EXPECT_TRUE(logged.lines.empty()) << logged.lines.front();
}

const std::vector<std::string> kTestSource = {"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25"};

std::vector<std::string> Args(std::vector<std::string> head, const std::vector<std::string>& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

// Telecined film: 24000/1001 frames a second woven into 30000/1001 by 3:2
// pulldown, top field first, coded as interlaced MPEG-2.
const std::vector<std::string> kTelecinedMpeg2 = {
    "-f",        "lavfi",
    "-i",        "testsrc2=size=352x240:rate=24000/1001",
    "-vf",       "telecine=first_field=top:pattern=23",
    "-frames:v", "15",
    "-c:v",      "mpeg2video",
    "-flags",    "+ildct+ilme",
    "-top",      "1"};

INSTANTIATE_TEST_SUITE_P(
    Clips, FfmpegReaderMatchesFfmpeg,
    ::testing::Values(
        ComparisonCase{
            "h264_interlaced.mkv",
            "libx264",
            Args(kTestSource, {"-frames:v", "12", "-pix_fmt", "yuv420p", "-c:v", "libx264",
                               "-flags", "+ildct+ilme", "-x264opts", "tff=1"}),
            {},
            false,
            // What libx264 makes of these options, as its frames say.
            host::Y4mInterlacing::kBottomFieldFirst},
        ComparisonCase{"mpeg2_telecined.mpg",
                       "mpeg2video",
                       kTelecinedMpeg2,
                       {},
                       false,
                       host::Y4mInterlacing::kTopFieldFirst},
        ComparisonCase{"mpeg2_telecined.ts",
                       "mpeg2video",
                       kTelecinedMpeg2,
                       {},
                       false,
                       host::Y4mInterlacing::kTopFieldFirst},
        ComparisonCase{"ffv1_odd_size.mkv",
                       "ffv1",
                       {"-f", "lavfi", "-i", "testsrc2=size=720x300:rate=30", "-vf",
                        "scale=715:299,format=yuv420p", "-frames:v", "4", "-c:v", "ffv1"},
                       {},
                       false,
                       host::Y4mInterlacing::kProgressive},
        ComparisonCase{
            "mjpeg_full_range.avi",
            "mjpeg",
            Args(kTestSource, {"-frames:v", "3", "-pix_fmt", "yuvj420p", "-c:v", "mjpeg"}),
            {},
            false,
            host::Y4mInterlacing::kProgressive},
        ComparisonCase{
            "h264_10bit.mkv",
            "libx264",
            Args(kTestSource, {"-frames:v", "5", "-pix_fmt", "yuv420p10le", "-c:v", "libx264"}),
            {"-pix_fmt", "yuv420p"},
            true,
            host::Y4mInterlacing::kProgressive},
        ComparisonCase{"ffv1_422.mkv",
                       "ffv1",
                       Args(kTestSource, {"-frames:v", "3", "-pix_fmt", "yuv422p", "-c:v", "ffv1"}),
                       {"-pix_fmt", "yuv420p"},
                       true,
                       host::Y4mInterlacing::kProgressive}),
    [](const ::testing::TestParamInfo<ComparisonCase>& info) {
      std::string name = info.param.name;
      for (char& ch : name) {
        if (ch == '.') ch = '_';
      }
      return name;
    });

}  // namespace
}  // namespace vorlith::testing
