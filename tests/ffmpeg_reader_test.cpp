// The FFmpeg reader against the ffmpeg program: the same file decoded by
// both gives the same header line and the same bytes in every frame, for
// the codecs and containers users bring. Then damaged files, refusals and
// open errors, and input through a descriptor whose first bytes were read.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "ffmpeg_clips.h"
#include "ffmpeg_reader.h"
#include "file_bytes.h"
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
  media::Y4mFrameBuffer frame(reader.header(), (64 - width % 64) % 64);
  std::vector<std::string> frames;
  while (reader.ReadFrame(frame.planes(), nullptr)) frames.push_back(PlaneBytes(frame.planes()));
  return frames;
}

// A file name as a test's name.
std::string TestName(std::string name) {
  for (char& c : name) {
    if (c == '.') c = '_';
  }
  return name;
}

struct ComparisonCase {
  std::string name;  // the test's name and the clip's file name
  std::string encoder;
  std::vector<std::string> make;           // ffmpeg's arguments before the output
  std::vector<std::string> ffmpeg_decode;  // ffmpeg's arguments for its y4m
  bool convert = false;
  media::Y4mInterlacing field_order = media::Y4mInterlacing::kProgressive;
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
            media::Y4mInterlacing::kBottomFieldFirst},
        ComparisonCase{"mpeg2_telecined.mpg",
                       "mpeg2video",
                       kTelecinedMpeg2,
                       {},
                       false,
                       media::Y4mInterlacing::kTopFieldFirst},
        ComparisonCase{"mpeg2_telecined.ts",
                       "mpeg2video",
                       kTelecinedMpeg2,
                       {},
                       false,
                       media::Y4mInterlacing::kTopFieldFirst},
        ComparisonCase{"ffv1_odd_size.mkv",
                       "ffv1",
                       {"-f", "lavfi", "-i", "testsrc2=size=720x300:rate=30", "-vf",
                        "scale=715:299,format=yuv420p", "-frames:v", "4", "-c:v", "ffv1"},
                       {},
                       false,
                       media::Y4mInterlacing::kProgressive},
        ComparisonCase{
            "mjpeg_full_range.avi",
            "mjpeg",
            Args(kTestSource, {"-frames:v", "3", "-pix_fmt", "yuvj420p", "-c:v", "mjpeg"}),
            {},
            false,
            media::Y4mInterlacing::kProgressive},
        ComparisonCase{
            "h264_10bit.mkv",
            "libx264",
            Args(kTestSource, {"-frames:v", "5", "-pix_fmt", "yuv420p10le", "-c:v", "libx264"}),
            {"-pix_fmt", "yuv420p"},
            true,
            media::Y4mInterlacing::kProgressive},
        ComparisonCase{"ffv1_422.mkv",
                       "ffv1",
                       Args(kTestSource, {"-frames:v", "3", "-pix_fmt", "yuv422p", "-c:v", "ffv1"}),
                       {"-pix_fmt", "yuv420p"},
                       true,
                       media::Y4mInterlacing::kProgressive}),
    [](const ::testing::TestParamInfo<ComparisonCase>& info) { return TestName(info.param.name); });

// A clip of 40 frames whose bytes from `from` (a fraction of its size) on
// are cut off, or overwritten in a stretch of 3000 bytes.
struct DamageCase {
  std::string name;
  std::string encoder;
  std::vector<std::string> make;
  bool truncate;
};

void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }

class FfmpegReaderOnDamage : public FfmpegClips,
                             public ::testing::WithParamInterface<DamageCase> {};

// The number in the first "<clip>: frame N: ..." line, or -1.
long long FirstReportedFrame(const std::vector<std::string>& lines, const std::string& clip) {
  const std::string lead = clip + ": frame ";
  for (const std::string& line : lines) {
    if (line.rfind(lead, 0) == 0) return std::stoll(line.substr(lead.size()));
  }
  return -1;
}

TEST_P(FfmpegReaderOnDamage, ReadsTheFramesBeforeTheDamageAndReportsIt) {
  const DamageCase& c = GetParam();
  if (const std::string why = MissingEncoder(c.encoder); !why.empty()) GTEST_SKIP() << why;
  const std::string clean = MakeClip("clean_" + c.name, c.make);
  Logged clean_log;
  FfmpegReader clean_reader(clean, clean_log.Options());
  const std::vector<std::string> expected = ReadAllFrames(clean_reader);
  ASSERT_EQ(expected.size(), 40u);

  std::string bytes = ReadFile(clean);
  const std::size_t middle = bytes.size() / 2;
  if (c.truncate) {
    bytes.resize(middle);
  } else {
    for (std::size_t i = middle; i < middle + 3000; ++i) bytes[i] = static_cast<char>(i * 151);
  }
  const std::string damaged = Path(c.name);
  WriteFile(damaged, bytes);

  Logged logged;
  FfmpegReader reader(damaged, logged.Options());
  const std::vector<std::string> frames = ReadAllFrames(reader);
  EXPECT_GT(reader.frames_lost() + reader.frames_damaged() + reader.input_errors(), 0);
  const long long reported = FirstReportedFrame(logged.lines, damaged);
  ASSERT_GT(reported, 0) << "no report names a frame";
  ASSERT_LE(reported, static_cast<long long>(frames.size()));
  for (long long n = 0; n < reported; ++n) {
    EXPECT_TRUE(frames[n] == expected[n]) << "frame " << n << " before the damage differs";
  }
  for (const std::string& line : logged.lines) EXPECT_EQ(line.find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Clips, FfmpegReaderOnDamage,
    ::testing::Values(DamageCase{"truncated.mkv", "libx264", kInterlacedH264, true},
                      DamageCase{"corrupted.mkv", "libx264", kInterlacedH264, false},
                      DamageCase{"truncated.ts", "mpeg2video", kMpeg2, true},
                      DamageCase{"corrupted.ts", "mpeg2video", kMpeg2, false},
                      DamageCase{"corrupted.mpg", "mpeg2video", kMpeg2, false}),
    [](const ::testing::TestParamInfo<DamageCase>& info) { return TestName(info.param.name); });

// Files that cannot be read as asked: one line naming the file and the cause.
class FfmpegReaderRefuses : public FfmpegClips {};

TEST_F(FfmpegReaderRefuses, FilesWithoutAReadableVideoStream) {
  if (const std::string why = MissingEncoder("ffv1"); !why.empty()) GTEST_SKIP() << why;
  const UnreadableClips clips = MakeUnreadableClips();
  const std::string& with_audio = clips.yuv422_with_audio;
  const std::string& audio_only = clips.audio_only;
  const std::string& not_media = clips.not_media;

  struct Refusal {
    std::string path;
    std::optional<int> stream;
    std::string message;
  };
  const Refusal refusals[] = {
      {Path("missing.mkv"), {}, Path("missing.mkv") + ": cannot open: No such file or directory"},
      {not_media, {}, not_media + ": Invalid data found when processing input"},
      {audio_only, {}, audio_only + ": no video stream"},
      {with_audio, 2, with_audio + ": there is no stream 2: the file has 2 (numbered from 0)"},
      {with_audio, -1, with_audio + ": there is no stream -1: the file has 2 (numbered from 0)"},
      {with_audio, 1, with_audio + ": stream 1 is audio, not video"},
      {with_audio, 0,
       with_audio + ": pixel format yuv422p is not 8-bit 4:2:0 (yuv420p); add --to-yv12 to "
                    "convert it with libswscale"},
  };
  for (const Refusal& refusal : refusals) {
    Logged logged;
    FfmpegReaderOptions options = logged.Options();
    options.stream_index = refusal.stream;
    try {
      FfmpegReader reader(refusal.path, options);
      ADD_FAILURE() << refusal.path << " opened";
    } catch (const media::Y4mError& error) {
      EXPECT_EQ(error.what(), refusal.message);
    }
  }
  // The same stream, converted, opens.
  Logged logged;
  FfmpegReaderOptions options = logged.Options(true);
  options.stream_index = 0;
  FfmpegReader reader(with_audio, options);
  EXPECT_EQ(reader.info().pixel_format, "yuv422p");
  EXPECT_EQ(ReadAllFrames(reader).size(), 2u);
}

// Streams that change on the way: the rate (told, frames kept) and the
// frame size (frames of another size skipped and reported).
class FfmpegReaderOnChangingStream : public FfmpegClips {};

TEST_F(FfmpegReaderOnChangingStream, SaysThatTheRateVaried) {
  if (const std::string why = MissingEncoder("ffv1"); !why.empty()) GTEST_SKIP() << why;
  // Half a second of nothing after frame 4, timestamps kept as they are.
  const std::string clip = MakeClip(
      "gap.mkv", {"-f", "lavfi", "-i", "testsrc2=size=64x48:rate=25", "-frames:v", "10", "-vf",
                  "setpts=N/25/TB+gte(N\\,5)*0.5/TB", "-fps_mode", "passthrough", "-c:v", "ffv1"});
  Logged logged;
  FfmpegReader reader(clip, logged.Options());
  EXPECT_EQ(ReadAllFrames(reader).size(), 10u);
  EXPECT_TRUE(reader.rate_varied());
  EXPECT_EQ(reader.frames_lost(), 0);
}

TEST_F(FfmpegReaderOnChangingStream, SkipsFramesOfAnotherSize) {
  if (const std::string why = MissingEncoder("mpeg2video"); !why.empty()) GTEST_SKIP() << why;
  const std::string wide = MakeClip("wide.ts", Args(kMpeg2, {"-frames:v", "5"}));
  const std::string narrow =
      MakeClip("narrow.ts", {"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=30", "-frames:v", "4",
                             "-c:v", "mpeg2video"});
  const std::string joined = Path("joined.ts");
  WriteFile(joined, ReadFile(wide) + ReadFile(narrow));

  Logged logged;
  FfmpegReader reader(joined, logged.Options());
  const std::vector<std::string> frames = ReadAllFrames(reader);
  EXPECT_EQ(reader.header().width, 352);
  EXPECT_GE(frames.size(), 4u);
  EXPECT_GE(reader.frames_lost(), 4);
  ASSERT_FALSE(logged.lines.empty());
  EXPECT_EQ(logged.lines.front(),
            joined + ": frame " + std::to_string(frames.size()) +
                ": the stream changes to 320x240 yuv420p from 352x240 yuv420p; such frames are "
                "skipped");
}

// framehost's "-": the reader takes back the bytes read to look for a
// YUV4MPEG2 signature, from a pipe and from a file that can seek.
class FfmpegReaderOnDescriptor : public FfmpegClips {};

TEST_F(FfmpegReaderOnDescriptor, TakesBackThePeekedBytes) {
  if (const std::string why = MissingEncoder("mpeg2video"); !why.empty()) GTEST_SKIP() << why;
  for (const std::string name : {"piped.ts", "peeked.mp4"}) {
    const std::string clip = MakeClip(name, Args(kMpeg2, {"-frames:v", "6"}));
    Logged by_path_log;
    FfmpegReader by_path(clip, by_path_log.Options());
    const std::vector<std::string> expected = ReadAllFrames(by_path);

    const std::string bytes = ReadFile(clip);
    const bool pipe_it = name == "piped.ts";
    int fds[2] = {-1, -1};
    std::thread feeder;
    if (pipe_it) {
      ASSERT_EQ(pipe(fds), 0);
      feeder = std::thread([&] {
        for (std::size_t at = 0; at < bytes.size();) {
          const ssize_t put = write(fds[1], bytes.data() + at, bytes.size() - at);
          if (put <= 0) break;
          at += static_cast<std::size_t>(put);
        }
        close(fds[1]);
      });
    } else {
      fds[0] = open(clip.c_str(), O_RDONLY);
    }
    char peeked[10];
    ASSERT_EQ(read(fds[0], peeked, sizeof peeked), 10);
    Logged logged;
    {
      FfmpegReader reader(fds[0], std::string_view(peeked, sizeof peeked), "stdin",
                          logged.Options());
      EXPECT_EQ(reader.header().line, by_path.header().line) << name;
      EXPECT_TRUE(ReadAllFrames(reader) == expected) << name;
    }
    if (feeder.joinable()) feeder.join();
    close(fds[0]);
    EXPECT_TRUE(logged.lines.empty()) << logged.lines.front();
  }
}

}  // namespace
}  // namespace vorlith::testing
