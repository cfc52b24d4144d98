// A plugin of misbehaving filters, for framehost's tests: what a real
// filter may do that framehost must cope with.
//   Repeat(c): on odd n returns the frame it gave for n - 1, without asking
//     its source for frame n (the source then never hands frame n out).
//   Empty(c[n]i): returns an empty frame reference for frame n (default 0).
#include "plugin_interface.h"

namespace {

class Repeat : public GenericVideoFilter {
 public:
  explicit Repeat(PClip source) : GenericVideoFilter(source) {}
  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override {
    if (n % 2 == 1 && previous_) return previous_;
    previous_ = child->GetFrame(n, env);
    return previous_;
  }

 private:
  PVideoFrame previous_;
};

class Empty : public GenericVideoFilter {
 public:
  Empty(PClip source, int n) : GenericVideoFilter(source), n_(n) {}
  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override {
    PVideoFrame frame = child->GetFrame(n, env);
    return n == n_ ? PVideoFrame() : frame;
  }

 private:
  int n_;
};

AVSValue CreateRepeat(AVSValue args, void*, IScriptEnvironment*) {
  return new Repeat(args[0].AsClip());
}

AVSValue CreateEmpty(AVSValue args, void*, IScriptEnvironment*) {
  return new Empty(args[0].AsClip(), args[1].AsInt(0));
}

}  // namespace

FRAMESERVER_PLUGIN_ENTRY const char* FRAMESERVER_STDCALL
AvisynthPluginInit2(IScriptEnvironment* env) {
  env->AddFunction("Repeat", "c", CreateRepeat, nullptr);
  env->AddFunction("Empty", "c[n]i", CreateEmpty, nullptr);
  return "test filters";
}
