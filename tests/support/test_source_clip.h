// A source clip for tests that makes its frames on request and counts what
// is asked of it, and an environment that counts the calls a filter makes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "environment.h"
#include "plugin_interface.h"

namespace vorlith::testing {

class TestSourceClip : public IClip {
 public:
  // Fills a new frame for request n; the frame is writable while it runs.
  using Painter = std::function<void(int n, VideoFrame& frame)>;

  TestSourceClip(host::Environment& env, const VideoInfo& vi, Painter painter);

  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override;
  bool GetParity(int n) override;
  void GetAudio(void* buf, std::int64_t start, std::int64_t count,
                IScriptEnvironment* env) override;
  void SetCacheHints(int cachehints, int frame_range) override;
  const VideoInfo& GetVideoInfo() override { return vi_; }

  // Settings.
  VideoInfo vi_;
  host::RowOrder row_order = host::RowOrder::kTopDown;
  bool keep_frames = false;      // hold every frame returned, as a cache would
  std::string fail_with;         // when set, GetFrame raises this script error
  bool return_no_frame = false;  // GetFrame returns an empty reference

  // What was asked.
  std::vector<int> frames_requested;
  std::vector<int> parities_requested;
  struct AudioRequest {
    void* buf;
    std::int64_t start;
    std::int64_t count;
    IScriptEnvironment* env;
  };
  std::vector<AudioRequest> audio_requested;
  int cache_hints = 0;
  std::vector<PVideoFrame> kept;

 private:
  host::Environment& env_;
  Painter painter_;
};

class CountingEnvironment : public host::Environment {
 public:
  explicit CountingEnvironment(long cpu_flags) : host::Environment(cpu_flags) {}

  long GetCPUFlags() override;
  void AddFunction(const char* name, const char* params, ApplyFunc apply, void* user_data) override;
  bool MakeWritable(PVideoFrame* frame) override;

  struct Registration {
    const char* name;
    const char* params;
    ApplyFunc apply;
    void* user_data;
  };
  std::vector<Registration> registrations;
  int cpu_flag_reads = 0;
  int make_writable_calls = 0;
  std::string make_writable_fails_with;  // when set, MakeWritable raises this script error
};

// YV12 clip descriptions.
VideoInfo Yv12Info(int width, int height, int frames = 100);

}  // namespace vorlith::testing
