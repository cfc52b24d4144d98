// The Vorlith filter: passes its source's frames through, counting the
// combed 8x8 blocks of each requested frame's luma plane, reporting frames
// with more than `th` of them, and painting them white when `show` is set.
#pragma once

#include <cstdint>

#include "plugin_interface.h"

class VorlithFilter : public GenericVideoFilter {
 public:
  // Refuses, through env->ThrowError, a source that is not planar 4:2:0
  // ("Vorlith: requires YV12 source") and then a processor without integer
  // SSE ("Vorlith: requires SSE").
  VorlithFilter(PClip source, std::int32_t th, bool show, IScriptEnvironment* env);

  // Source frame n, made writable, scanned, reported and returned.
  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override;

 private:
  const std::int32_t th;
  const bool show;
};

// The create function of the script function Vorlith, "c[th]i[show]b".
AVSValue CreateVorlith(AVSValue args, void* user_data, IScriptEnvironment* env);
