#include "test_source_clip.h"

namespace vorlith::testing {

TestSourceClip::TestSourceClip(host::Environment& env, const VideoInfo& vi, Painter painter)
    : vi_(vi), env_(env), painter_(std::move(painter)) {}

PVideoFrame TestSourceClip::GetFrame(int n, IScriptEnvironment* env) {
  frames_requested.push_back(n);
  if (!fail_with.empty()) env->ThrowError("%s", fail_with.c_str());
  if (return_no_frame) return PVideoFrame();
  PVideoFrame frame = env_.frames().NewFrame(vi_, row_order);
  if (painter_) painter_(n, *frame.get());
  if (keep_frames) kept.push_back(frame);
  return frame;
}

bool TestSourceClip::GetParity(int n) {
  parities_requested.push_back(n);
  return n % 3 == 1;
}

void TestSourceClip::GetAudio(void* buf, std::int64_t start, std::int64_t count,
                              IScriptEnvironment* env) {
  audio_requested.push_back({buf, start, count, env});
}

void TestSourceClip::SetCacheHints(int, int) { ++cache_hints; }

long CountingEnvironment::GetCPUFlags() {
  ++cpu_flag_reads;
  return host::Environment::GetCPUFlags();
}

void CountingEnvironment::AddFunction(const char* name, const char* params, ApplyFunc apply,
                                      void* user_data) {
  registrations.push_back({name, params, apply, user_data});
  host::Environment::AddFunction(name, params, apply, user_data);
}

bool CountingEnvironment::MakeWritable(PVideoFrame* frame) {
  ++make_writable_calls;
  if (!make_writable_fails_with.empty()) ThrowError("%s", make_writable_fails_with.c_str());
  return host::Environment::MakeWritable(frame);
}

VideoInfo Yv12Info(int width, int height, int frames) {
  VideoInfo vi;
  vi.width = width;
  vi.height = height;
  vi.fps_numerator = 30000;
  vi.fps_denominator = 1001;
  vi.num_frames = frames;
  vi.pixel_type = VideoInfo::CS_YV12;
  vi.audio_samples_per_second = 48000;
  vi.sample_type = 2;
  vi.num_audio_samples = 48000LL * frames * 1001 / 30000;
  vi.nchannels = 2;
  return vi;
}

}  // namespace vorlith::testing
