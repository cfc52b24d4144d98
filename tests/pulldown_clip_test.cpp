// The example clip, scanned as the filter scans it: exactly the two woven
// frames of every five are reported at the default threshold of 80, and
// the whole film frames show no combed block at all.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

#include "analysis.h"
#include "pulldown_clip.h"
#include "y4m_frame_buffer.h"
#include "y4m_reader.h"
#include "y4m_streams.h"

namespace vorlith::testing {
namespace {

using examples::PulldownFields;

constexpr std::int32_t kThreshold = 80;

TEST(PulldownClip, FilmFramesFollowTheThreeTwoCadence) {
  // AA BB BC CD DD, then the next four film frames.
  const std::int64_t top[10] = {0, 1, 1, 2, 3, 4, 5, 5, 6, 7};
  const std::int64_t bottom[10] = {0, 1, 2, 3, 3, 4, 5, 6, 7, 7};
  for (int n = 0; n < 10; ++n) {
    EXPECT_EQ(PulldownFields(n).top, top[n]) << "frame " << n;
    EXPECT_EQ(PulldownFields(n).bottom, bottom[n]) << "frame " << n;
  }
}

TEST(PulldownClip, OnlyTheWovenFramesOfEachCycleAreReported) {
  const examples::PulldownClipOptions options;  // the clip the generator writes by default
  TempFile file;
  examples::WritePulldownClip(file.fd(), "clip.y4m", options);
  lseek(file.fd(), 0, SEEK_SET);

  media::Y4mReader reader(file.fd(), "clip.y4m");
  EXPECT_EQ(reader.header().width, 720);
  EXPECT_EQ(reader.header().height, 480);
  EXPECT_EQ(reader.header().interlacing, media::Y4mInterlacing::kTopFieldFirst);
  // The scan reads rows in whole groups of 8 bytes.
  const media::Y4mFrameBuffer frame(reader.header(), 8);
  const host::PlaneBuffer& y = frame.plane(host::kPlaneY);
  const LumaPlane luma{y.data, y.data, static_cast<std::int32_t>(y.pitch), y.row_size, y.height};

  std::int64_t n = 0;
  for (; reader.ReadFrame(frame.planes(), nullptr); ++n) {
    const std::int32_t count = ScanCombedBlocks(luma, false);
    if (n % 5 == 2 || n % 5 == 3) {
      EXPECT_GT(count, kThreshold) << "frame " << n;
    } else {
      EXPECT_EQ(count, 0) << "frame " << n;
    }
  }
  EXPECT_EQ(n, options.frames);
}

}  // namespace
}  // namespace vorlith::testing
