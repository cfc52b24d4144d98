// The filter through the built library: argument defaults, refusals, frame
// requests, pass-through operations and references.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "plugin_test_fixture.h"
#include "report_capture.h"
#include "script_error.h"

#if !defined(_WIN32)
#include "allocation_counter.h"
#endif

namespace vorlith::testing {
namespace {

// 720x480 has 90 blocks per band and 59 bands.
constexpr int kWidth = 720;
constexpr int kHeight = 480;

std::string ReportLine(int n, int count) {
  return "\r" + std::to_string(n % 5) + " frame=" + std::to_string(n) +
         " --- Blocks=" + std::to_string(count) + "\n";
}

// The live allocations of the process, the plugin's included, where they
// can be counted: not on Windows, where the DLL carries its own operator
// new (its C++ runtime is linked in), which the program cannot replace.
std::optional<std::int64_t> CountedAllocations() {
#if defined(_WIN32)
  return std::nullopt;
#else
  return LiveAllocations();
#endif
}

// What one request of frame n sends to the debug channel.
std::string ReportOf(const PClip& filter, int n, IScriptEnvironment* env) {
  ReportCapture capture;
  filter->GetFrame(n, env);
  return capture.Finish();
}

// ---- Arguments --------------------------------------------------------------

struct ArgumentCase {
  const char* name;
  std::vector<AVSValue> after_clip;  // elements 1 and 2 of the array, if any
  int th;
  bool show;
};

void PrintTo(const ArgumentCase& c, std::ostream* os) { *os << c.name; }

class VorlithArguments : public PluginTest, public ::testing::WithParamInterface<ArgumentCase> {};

// The create function receives the array as the host builds it; the cases
// include arrays that no signature check would let through.
TEST_P(VorlithArguments, TakeTheirValueOrTheDefault) {
  const ArgumentCase& c = GetParam();
  // Frame n has n combed blocks, so frame th + 1 is the first one reported.
  const PClip source(NewSource(Yv12Info(kWidth, kHeight), [](int n) { return n; }));
  std::vector<AVSValue> elements{AVSValue(source)};
  elements.insert(elements.end(), c.after_clip.begin(), c.after_clip.end());
  const ApplyFunc create = env_.registrations.at(0).apply;
  const PClip filter =
      create(AVSValue(elements.data(), static_cast<int>(elements.size())), nullptr, &env_).AsClip();
  ASSERT_TRUE(filter);

  const int quiet = c.th < 0 ? -1 : c.th;  // no frame has fewer than 0 blocks
  if (quiet >= 0) {
    EXPECT_EQ(ReportOf(filter, quiet, &env_), "");
  }
  EXPECT_EQ(ReportOf(filter, quiet + 1, &env_), ReportLine(quiet + 1, quiet < 0 ? 0 : quiet + 1));

  const PVideoFrame frame = filter->GetFrame(1, &env_);  // block 0 combed
  EXPECT_EQ(frame->GetReadPtr()[0], c.show ? 255 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, VorlithArguments,
    ::testing::Values(ArgumentCase{"clip_alone", {}, 80, false},
                      ArgumentCase{"th_only", {AVSValue(40)}, 40, false},
                      ArgumentCase{"show_only", {AVSValue(), AVSValue(true)}, 80, true},
                      ArgumentCase{"both", {AVSValue(5), AVSValue(true)}, 5, true},
                      ArgumentCase{"th_zero", {AVSValue(0), AVSValue(false)}, 0, false},
                      ArgumentCase{"negative_th", {AVSValue(-1)}, -1, false},
                      ArgumentCase{"float_th_int_show", {AVSValue(40.0), AVSValue(1)}, 80, false},
                      ArgumentCase{
                          "string_th_string_show", {AVSValue("40"), AVSValue("true")}, 80, false}),
    [](const ::testing::TestParamInfo<ArgumentCase>& info) { return info.param.name; });

TEST_F(PluginTest, NamedArgumentsBindThroughTheSignature) {
  const PClip source(NewSource(Yv12Info(kWidth, kHeight), [](int n) { return n; }));
  const PClip filter = CallVorlith(source, {{"show", AVSValue(true)}, {"th", AVSValue(3)}});
  EXPECT_EQ(ReportOf(filter, 3, &env_), "");
  EXPECT_EQ(ReportOf(filter, 4, &env_), ReportLine(4, 4));
  EXPECT_EQ(filter->GetFrame(1, &env_)->GetReadPtr()[0], 255);
}

// ---- Refusals ---------------------------------------------------------------

struct RefusalCase {
  const char* name;
  int pixel_type;
  long cpu_flags;
  const char* error;  // null when the source is accepted
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class VorlithRefusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(VorlithRefusals, ComeInOrderAndLeaveNothingBehind) {
  const RefusalCase& c = GetParam();
  CountingEnvironment env(c.cpu_flags);
  host::LoadPlugin(env, VORLITH_PLUGIN_PATH);
  VideoInfo vi = Yv12Info(64, 64);
  vi.pixel_type = c.pixel_type;
  const PClip source(new TestSourceClip(env, vi, nullptr));
  const int references_before = source.ReferenceCount();
  const std::optional<std::int64_t> allocations_before = CountedAllocations();

  // The message is kept in a fixed buffer, so that the count of live
  // allocations afterwards is the plugin's and the host's alone.
  char error[128] = "";
  PClip filter;
  try {
    filter = env.Invoke("Vorlith", std::vector<host::Argument>{{"", AVSValue(source)}}).AsClip();
  } catch (const host::ScriptError& e) {
    std::snprintf(error, sizeof error, "%s", e.what());
  }
  const std::optional<std::int64_t> allocations_after = CountedAllocations();

  if (c.error == nullptr) {
    EXPECT_STREQ(error, "");
    EXPECT_TRUE(filter);
    return;
  }
  EXPECT_STREQ(error, c.error);
  EXPECT_EQ(source.ReferenceCount(), references_before);
  EXPECT_EQ(allocations_after, allocations_before);
}

constexpr long kNoIntegerSse = 0x7fffffffL & ~long{CPUF_INTEGER_SSE};

INSTANTIATE_TEST_SUITE_P(
    Table, VorlithRefusals,
    ::testing::Values(
        RefusalCase{"yuy2", VideoInfo::CS_YUY2, kAllCpuFlags, "Vorlith: requires YV12 source"},
        RefusalCase{"yuy2_without_sse", VideoInfo::CS_YUY2, 0, "Vorlith: requires YV12 source"},
        RefusalCase{"rgb24", VideoInfo::CS_BGR24, kAllCpuFlags, "Vorlith: requires YV12 source"},
        RefusalCase{"rgb32_without_sse", VideoInfo::CS_BGR32, 0, "Vorlith: requires YV12 source"},
        // Some but not all of the YV12 bits.
        RefusalCase{"planar_yuv_only", VideoInfo::CS_PLANAR | VideoInfo::CS_YUV, kAllCpuFlags,
                    "Vorlith: requires YV12 source"},
        RefusalCase{"yv12_without_flags", VideoInfo::CS_YV12, 0, "Vorlith: requires SSE"},
        RefusalCase{"yv12_every_flag_but_8", VideoInfo::CS_YV12, kNoIntegerSse,
                    "Vorlith: requires SSE"},
        RefusalCase{"i420_without_sse", VideoInfo::CS_I420, kNoIntegerSse, "Vorlith: requires SSE"},
        RefusalCase{"yv12_flag_8_alone", VideoInfo::CS_YV12, CPUF_INTEGER_SSE, nullptr},
        RefusalCase{"i420_flag_8_alone", VideoInfo::CS_I420, CPUF_INTEGER_SSE, nullptr}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return info.param.name; });

// ---- Frame requests ---------------------------------------------------------

class VorlithFrames : public PluginTest {
 protected:
  // Frame n has 100 combed blocks.
  VorlithFrames()
      : source_(NewSource(Yv12Info(kWidth, kHeight, 10), [](int) { return 100; })),
        source_clip_(source_) {}

  // The frame the source gives for n, painted afresh.
  PVideoFrame Expected(int n, bool painted) {
    PVideoFrame frame = env_.frames().NewFrame(source_->vi_);
    PaintCombedFrame(*frame.get(), 100);
    if (painted) {
      for (int r = 0; r < frame->GetHeight(); ++r) {
        for (int j = 0; j < frame->GetRowSize(); ++j) {
          if (InCombedBlock(*frame.get(), 100, r, j)) {
            frame->GetWritePtr()[static_cast<std::ptrdiff_t>(r) * frame->GetPitch() + j] = 255;
          }
        }
      }
    }
    (void)n;
    return frame;
  }

  TestSourceClip* source_;
  PClip source_clip_;
};

TEST_F(VorlithFrames, EachRequestAsksOnceForFrameNUnchanged) {
  const PClip filter = CallVorlith(source_clip_);
  const int requests[] = {7, 0, -5, 10, INT_MAX, INT_MIN, 7};
  for (const int n : requests) filter->GetFrame(n, &env_);
  EXPECT_EQ(source_->frames_requested, std::vector<int>(std::begin(requests), std::end(requests)));
  EXPECT_EQ(env_.make_writable_calls, static_cast<int>(std::size(requests)));
}

TEST_F(VorlithFrames, WithoutShowTheFrameIsTheSourceFrame) {
  const PClip filter = CallVorlith(source_clip_);
  ReportCapture capture;
  const PVideoFrame frame = filter->GetFrame(7, &env_);
  EXPECT_EQ(capture.Finish(), "\r2 frame=7 --- Blocks=100\n");
  EXPECT_TRUE(SamePlanes(*frame.get(), *Expected(7, false).get()));
}

TEST_F(VorlithFrames, ShowPaintsExactlyTheCombedBlocksInLuma) {
  const PClip filter = CallVorlith(source_clip_, {{"show", AVSValue(true)}});
  const PVideoFrame frame = filter->GetFrame(3, &env_);
  EXPECT_TRUE(SamePlanes(*frame.get(), *Expected(3, true).get()));
}

TEST_F(VorlithFrames, BottomUpFramesGiveTheSameCountAndMarks) {
  source_->row_order = host::RowOrder::kBottomUp;
  const PClip filter = CallVorlith(source_clip_, {{"show", AVSValue(true)}});
  ReportCapture capture;
  const PVideoFrame frame = filter->GetFrame(7, &env_);
  EXPECT_EQ(capture.Finish(), "\r2 frame=7 --- Blocks=100\n");
  ASSERT_LT(frame->GetPitch(), 0);
  EXPECT_TRUE(SamePlanes(*frame.get(), *Expected(7, true).get()));
}

TEST_F(VorlithFrames, ASharedSourceFrameIsCopiedNotPaintedInPlace) {
  source_->keep_frames = true;
  const PClip filter = CallVorlith(source_clip_, {{"show", AVSValue(true)}});
  const PVideoFrame frame = filter->GetFrame(2, &env_);
  ASSERT_EQ(source_->kept.size(), 1u);
  EXPECT_NE(frame.get(), source_->kept[0].get());
  EXPECT_TRUE(SamePlanes(*source_->kept[0].get(), *Expected(2, false).get()));
  EXPECT_TRUE(SamePlanes(*frame.get(), *Expected(2, true).get()));
}

TEST_F(VorlithFrames, RepeatedRequestsGiveTheSameFrameAndLine) {
  const PClip filter = CallVorlith(source_clip_, {{"show", AVSValue(true)}});
  ReportCapture capture;
  const PVideoFrame first = filter->GetFrame(4, &env_);
  filter->GetFrame(9, &env_);
  const PVideoFrame again = filter->GetFrame(4, &env_);
  EXPECT_EQ(capture.Finish(), ReportLine(4, 100) + ReportLine(9, 100) + ReportLine(4, 100));
  EXPECT_TRUE(SamePlanes(*again.get(), *first.get()));
}

TEST_F(VorlithFrames, ErrorsInsideARequestPassThroughAndLeaveNoFrame) {
  // The source keeps the frames it gives, so MakeWritable must copy, and an
  // error after the copy has the most to release.
  source_->keep_frames = true;
  const PClip filter = CallVorlith(source_clip_);
  const int frames_before = env_.frames().LiveFrames();
  const int clip_references = source_clip_.ReferenceCount();
  const int filter_references = filter.ReferenceCount();
  const struct {
    const char* name;
    std::function<void()> arrange;
    std::string message;
  } cases[] = {
      {"source", [&] { source_->fail_with = "source: frame 3 is unreadable"; },
       "source: frame 3 is unreadable"},
      {"MakeWritable", [&] { env_.make_writable_fails_with = "out of frames"; }, "out of frames"},
      {"no frame from the source", [&] { source_->return_no_frame = true; },
       "Vorlith: the source gave no frame for frame 3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    source_->fail_with.clear();
    source_->return_no_frame = false;
    env_.make_writable_fails_with.clear();
    c.arrange();
    try {
      filter->GetFrame(3, &env_);
      ADD_FAILURE() << "no error";
    } catch (const host::ScriptError& error) {
      EXPECT_EQ(std::string(error.what()), c.message);
    }
    // Only the frames the source keeps remain, each held by the source alone.
    EXPECT_EQ(env_.frames().LiveFrames(), frames_before + static_cast<int>(source_->kept.size()));
    for (const PVideoFrame& kept : source_->kept) EXPECT_EQ(kept.ReferenceCount(), 1);
    EXPECT_EQ(source_clip_.ReferenceCount(), clip_references);
    EXPECT_EQ(filter.ReferenceCount(), filter_references);
  }
}

TEST_F(VorlithFrames, RequestsLeaveEveryCountAsItWas) {
  source_->keep_frames = true;
  const PClip filter = CallVorlith(source_clip_, {{"show", AVSValue(true)}});
  const int clip_references = source_clip_.ReferenceCount();
  for (const int n : {0, 1, 1, 2}) {
    PVideoFrame frame = filter->GetFrame(n, &env_);
    EXPECT_EQ(frame.ReferenceCount(), 1);  // the caller's own copy
  }
  EXPECT_EQ(source_clip_.ReferenceCount(), clip_references);
  EXPECT_EQ(filter.ReferenceCount(), 1);
  EXPECT_EQ(env_.frames().LiveFrames(), static_cast<int>(source_->kept.size()));
  for (const PVideoFrame& kept : source_->kept) EXPECT_EQ(kept.ReferenceCount(), 1);
}

// ---- Pass-through and references --------------------------------------------

TEST_F(VorlithFrames, DescriptionParityAndAudioPassThrough) {
  const VideoInfo at_construction = source_->vi_;
  const PClip filter = CallVorlith(source_clip_);
  source_->vi_.width = 1;  // later changes of the source are not seen
  const VideoInfo& vi = filter->GetVideoInfo();
  EXPECT_EQ(vi.width, at_construction.width);
  EXPECT_EQ(vi.height, at_construction.height);
  EXPECT_EQ(vi.pixel_type, at_construction.pixel_type);
  EXPECT_EQ(vi.fps_numerator, at_construction.fps_numerator);
  EXPECT_EQ(vi.fps_denominator, at_construction.fps_denominator);
  EXPECT_EQ(vi.num_frames, at_construction.num_frames);
  EXPECT_EQ(vi.audio_samples_per_second, at_construction.audio_samples_per_second);
  EXPECT_EQ(vi.sample_type, at_construction.sample_type);
  EXPECT_EQ(vi.num_audio_samples, at_construction.num_audio_samples);
  EXPECT_EQ(vi.nchannels, at_construction.nchannels);

  for (const int n : {0, 1, 2, 4, -1}) EXPECT_EQ(filter->GetParity(n), source_->GetParity(n));
  EXPECT_EQ(source_->parities_requested, (std::vector<int>{0, 0, 1, 1, 2, 2, 4, 4, -1, -1}));

  char buffer[16];
  filter->GetAudio(buffer, 1LL << 40, 12345, &env_);
  ASSERT_EQ(source_->audio_requested.size(), 1u);
  EXPECT_EQ(source_->audio_requested[0].buf, buffer);
  EXPECT_EQ(source_->audio_requested[0].start, 1LL << 40);
  EXPECT_EQ(source_->audio_requested[0].count, 12345);
  EXPECT_EQ(source_->audio_requested[0].env, &env_);

  filter->SetCacheHints(1, 10);
  EXPECT_EQ(source_->cache_hints, 0);
  EXPECT_EQ(filter->GetVersion(), AVISYNTH_INTERFACE_VERSION);
}

TEST_F(VorlithFrames, FiltersHoldOneReferenceEachToTheirSource) {
  const int alone = source_clip_.ReferenceCount();
  PClip first = CallVorlith(source_clip_);
  PClip second = CallVorlith(source_clip_, {{"th", AVSValue(100)}});
  EXPECT_NE(first.get(), second.get());
  EXPECT_EQ(first.ReferenceCount(), 1);
  EXPECT_EQ(second.ReferenceCount(), 1);
  EXPECT_EQ(source_clip_.ReferenceCount(), alone + 2);

  // Independent: th 80 reports frame 1's 100 blocks, th 100 does not.
  EXPECT_EQ(ReportOf(first, 1, &env_), ReportLine(1, 100));
  EXPECT_EQ(ReportOf(second, 1, &env_), "");

  first = PClip();
  EXPECT_EQ(source_clip_.ReferenceCount(), alone + 1);
  second = PClip();
  EXPECT_EQ(source_clip_.ReferenceCount(), alone);
}

}  // namespace
}  // namespace vorlith::testing
