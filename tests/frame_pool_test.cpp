// The host's frames: layout, zeroed padding, recycling and MakeWritable.
#include <gtest/gtest.h>

#include <cstdint>

#include "environment.h"
#include "frame_pool.h"

namespace vorlith::testing {
namespace {

VideoInfo Info(int width, int height, int pixel_type) {
  VideoInfo vi;
  vi.width = width;
  vi.height = height;
  vi.pixel_type = pixel_type;
  return vi;
}

struct LayoutCase {
  int width;
  int height;
  int pixel_type;
  int luma_row_size;
  int chroma_row_size;
  int chroma_height;
};

void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.width << "x" << c.height; }

class FrameLayout : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(FrameLayout, RowsAreAlignedAndPaddingIsZero) {
  const LayoutCase& c = GetParam();
  host::FramePool pool;
  for (const host::RowOrder order : {host::RowOrder::kTopDown, host::RowOrder::kBottomUp}) {
    PVideoFrame frame = pool.NewFrame(Info(c.width, c.height, c.pixel_type), order);
    EXPECT_EQ(frame->GetRowSize(), c.luma_row_size);
    EXPECT_EQ(frame->GetRowSize(PLANAR_U), c.chroma_row_size);
    EXPECT_EQ(frame->GetHeight(PLANAR_V), c.chroma_height);
    for (const int plane : {PLANAR_Y, PLANAR_U, PLANAR_V}) {
      const int pitch = frame->GetPitch(plane);
      if (frame->GetHeight(plane) == 0) continue;
      EXPECT_EQ(pitch < 0, order == host::RowOrder::kBottomUp);
      const int stride = pitch < 0 ? -pitch : pitch;
      EXPECT_GE(stride, (frame->GetRowSize(plane) + 7) / 8 * 8);
      for (int r = 0; r < frame->GetHeight(plane); ++r) {
        const std::uint8_t* row = frame->GetReadPtr(plane) + static_cast<std::ptrdiff_t>(r) * pitch;
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(row) % 64, 0u);
        for (int j = frame->GetRowSize(plane); j < stride; ++j) ASSERT_EQ(row[j], 0);
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Table, FrameLayout,
                         ::testing::Values(LayoutCase{720, 480, VideoInfo::CS_YV12, 720, 360, 240},
                                           LayoutCase{721, 481, VideoInfo::CS_I420, 721, 361, 241},
                                           LayoutCase{1, 1, VideoInfo::CS_YV12, 1, 1, 1},
                                           LayoutCase{100, 20, VideoInfo::CS_YUY2, 200, 0, 0}));

TEST(FramePool, RecyclesBuffersAndClearsTheirPadding) {
  host::FramePool pool;
  const VideoInfo vi = Info(12, 16, VideoInfo::CS_YV12);
  {
    PVideoFrame frame = pool.NewFrame(vi);
    // A painting filter may set the bytes just past the row size.
    frame->GetWritePtr()[12] = 255;
  }
  EXPECT_EQ(pool.LiveFrames(), 0);
  const std::int64_t allocated = pool.BuffersAllocated();
  for (int i = 0; i < 100; ++i) {
    PVideoFrame frame = pool.NewFrame(vi);
    EXPECT_EQ(frame->GetReadPtr()[12], 0);
  }
  EXPECT_EQ(pool.BuffersAllocated(), allocated);
}

TEST(MakeWritable, CopiesOnlyASharedFrame) {
  host::Environment env(0);
  PVideoFrame alone = env.frames().NewFrame(Info(16, 16, VideoInfo::CS_YV12));
  VideoFrame* const original = alone.get();
  EXPECT_FALSE(env.MakeWritable(&alone));
  EXPECT_EQ(alone.get(), original);

  alone->GetWritePtr()[5] = 7;
  alone->GetWritePtr(PLANAR_V)[3] = 9;
  PVideoFrame held_elsewhere = alone;
  EXPECT_EQ(alone->GetWritePtr(), nullptr);
  EXPECT_TRUE(env.MakeWritable(&alone));
  EXPECT_NE(alone.get(), original);
  ASSERT_NE(alone->GetWritePtr(), nullptr);
  EXPECT_EQ(alone->GetReadPtr()[5], 7);
  EXPECT_EQ(alone->GetReadPtr(PLANAR_V)[3], 9);
  EXPECT_EQ(held_elsewhere.ReferenceCount(), 1);
}

}  // namespace
}  // namespace vorlith::testing
