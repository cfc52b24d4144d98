// The built plugin loaded by the host, as a user's host loads it, into an
// environment that counts the plugin's calls.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "combed_frames.h"
#include "plugin_library.h"
#include "test_source_clip.h"

namespace vorlith::testing {

constexpr long kAllCpuFlags = 0x7fffffff;

class PluginTest : public ::testing::Test {
 protected:
  explicit PluginTest(long cpu_flags = kAllCpuFlags) : env_(cpu_flags) {
    description_ = host::LoadPlugin(env_, VORLITH_PLUGIN_PATH);
  }

  // A YV12 source whose frame n has `combed_per_frame(n)` combed blocks.
  TestSourceClip* NewSource(const VideoInfo& vi, std::function<int(int)> combed_per_frame) {
    return new TestSourceClip(env_, vi, [combed_per_frame](int n, VideoFrame& frame) {
      PaintCombedFrame(frame, combed_per_frame(n));
    });
  }

  // Vorlith(source, named...) through the host's call by name.
  PClip CallVorlith(const PClip& source, std::vector<host::Argument> named = {}) {
    named.insert(named.begin(), host::Argument{"", AVSValue(source)});
    return env_.Invoke("Vorlith", named).AsClip();
  }

  CountingEnvironment env_;
  std::string description_;
};

}  // namespace vorlith::testing
