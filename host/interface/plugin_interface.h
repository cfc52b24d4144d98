// The frame server's plugin interface, version 2: everything a plugin
// compiles against. A plugin links none of the host's code; it reaches the
// host only through the virtual functions declared here, and everything else
// in this header is inline, so it is compiled into the plugin itself.
//
// Objects are freed by the module that made them: a clip made by a plugin is
// deleted through its virtual destructor, in the plugin; a frame is handed
// back to the host that made it. Reference counts change without locks: the
// host makes calls into one clip one at a time.
#pragma once

#include <cstdint>
#include <new>

constexpr int AVISYNTH_INTERFACE_VERSION = 2;

// Processor flags from IScriptEnvironment::GetCPUFlags.
enum {
  CPUF_FPU = 0x01,
  CPUF_MMX = 0x02,
  CPUF_INTEGER_SSE = 0x08,  // the MMX extensions of SSE, psadbw among them
  CPUF_SSE = 0x10,
  CPUF_SSE2 = 0x20,
};

// Plane selectors for the frame accessors; without one they give luma.
enum { PLANAR_Y = 1, PLANAR_U = 2, PLANAR_V = 4 };

class AVSValue;
class IClip;
class IScriptEnvironment;
class VideoFrame;

// A counted reference to a clip or a frame, which keep their own counts.
// When the last reference goes the object is handed to T::LastReferenceGone,
// which frees it in the module that made it.
template <class T>
class CountedReference {
 public:
  CountedReference() = default;
  CountedReference(T* object) : object_(object) { Acquire(); }
  CountedReference(const CountedReference& other) : object_(other.object_) { Acquire(); }
  CountedReference(CountedReference&& other) noexcept : object_(other.object_) {
    other.object_ = nullptr;
  }
  CountedReference& operator=(CountedReference other) noexcept {
    T* previous = object_;
    object_ = other.object_;
    other.object_ = previous;
    return *this;
  }
  ~CountedReference() { Drop(); }

  T* operator->() const { return object_; }
  T* get() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }
  int ReferenceCount() const { return object_ ? object_->references_ : 0; }

 private:
  void Acquire() {
    if (object_) ++object_->references_;
  }
  void Drop() {
    if (object_ && --object_->references_ == 0) T::LastReferenceGone(object_);
  }

  T* object_ = nullptr;
};

using PClip = CountedReference<IClip>;
using PVideoFrame = CountedReference<VideoFrame>;

using ApplyFunc = AVSValue (*)(AVSValue args, void* user_data, IScriptEnvironment* env);

struct VideoInfo {
  // Colour space bits: planar or interleaved samples, YUV or RGB, and the layout.
  enum : int {
    CS_PLANAR = static_cast<int>(0x80000000u),
    CS_INTERLEAVED = 0x40000000,
    CS_YUV = 0x20000000,
    CS_RGB = 0x10000000,
    CS_YV12 = static_cast<int>(0xA0000008u),  // planar 4:2:0, V plane before U
    CS_I420 = static_cast<int>(0xA0000010u),  // planar 4:2:0, U plane before V
    CS_YUY2 = CS_INTERLEAVED | CS_YUV | 0x04,
    CS_BGR24 = CS_INTERLEAVED | CS_RGB | 0x01,
    CS_BGR32 = CS_INTERLEAVED | CS_RGB | 0x02,
  };

  int width = 0;
  int height = 0;
  unsigned fps_numerator = 0;
  unsigned fps_denominator = 1;
  int num_frames = 0;
  int pixel_type = 0;

  int audio_samples_per_second = 0;
  int sample_type = 0;
  std::int64_t num_audio_samples = 0;
  int nchannels = 0;

  bool HasVideo() const { return width != 0; }
  bool HasAudio() const { return audio_samples_per_second != 0; }
  bool Is(int property) const { return (pixel_type & property) == property; }
  // Both 4:2:0 planar layouts count: the plugin sees planes, not their order.
  bool IsYV12() const { return Is(CS_YV12) || Is(CS_I420); }
  bool IsPlanar() const { return Is(CS_PLANAR); }
};

// One video frame: up to three planes of 8-bit samples in memory the host
// owns. A frame held by one reference only is writable; a shared one gives
// no write pointer until IScriptEnvironment::MakeWritable has made it the
// caller's own.
class VideoFrame {
 public:
  int GetPitch(int plane = PLANAR_Y) const { return PlaneOf(plane).pitch; }
  int GetRowSize(int plane = PLANAR_Y) const { return PlaneOf(plane).row_size; }
  int GetHeight(int plane = PLANAR_Y) const { return PlaneOf(plane).height; }
  const std::uint8_t* GetReadPtr(int plane = PLANAR_Y) const { return PlaneOf(plane).top; }
  std::uint8_t* GetWritePtr(int plane = PLANAR_Y) const {
    return IsWritable() ? PlaneOf(plane).top : nullptr;
  }
  bool IsWritable() const { return references_ == 1; }

 protected:
  struct Plane {
    std::uint8_t* top = nullptr;  // first sample of the top row
    int pitch = 0;                // bytes from one row to the next; negative when bottom-up
    int row_size = 0;             // visible bytes per row
    int height = 0;
  };

  VideoFrame() = default;
  VideoFrame(const VideoFrame&) = delete;
  VideoFrame& operator=(const VideoFrame&) = delete;
  virtual ~VideoFrame() = default;
  // Called when the last reference goes: the host takes the frame back.
  virtual void Recycle() = 0;

  Plane planes_[3];

 private:
  friend class CountedReference<VideoFrame>;
  static void LastReferenceGone(VideoFrame* frame) { frame->Recycle(); }

  const Plane& PlaneOf(int plane) const {
    return plane == PLANAR_U ? planes_[1] : plane == PLANAR_V ? planes_[2] : planes_[0];
  }

  int references_ = 0;
};

class IClip {
 public:
  IClip() = default;
  IClip(const IClip&) = delete;
  IClip& operator=(const IClip&) = delete;

  virtual int GetVersion() { return AVISYNTH_INTERFACE_VERSION; }
  virtual PVideoFrame GetFrame(int n, IScriptEnvironment* env) = 0;
  virtual bool GetParity(int n) = 0;
  virtual void GetAudio(void* buf, std::int64_t start, std::int64_t count,
                        IScriptEnvironment* env) = 0;
  virtual void SetCacheHints(int cachehints, int frame_range) = 0;
  virtual const VideoInfo& GetVideoInfo() = 0;
  // Deletes the clip in the module that made it, when the last PClip goes.
  virtual ~IClip() = default;

 private:
  friend class CountedReference<IClip>;
  static void LastReferenceGone(IClip* clip) { delete clip; }
  int references_ = 0;
};

// A script value: nothing, a clip, a bool, an int, a float, a string or an
// array. Strings and array elements are not owned: whoever made the value
// keeps them alive while it is in use. The readers never fail: a value of
// another type gives the reader's default.
class AVSValue {
 public:
  enum class Type : char { kVoid, kClip, kBool, kInt, kFloat, kString, kArray };

  AVSValue() : integer_(0) {}
  AVSValue(IClip* clip) : AVSValue(PClip(clip)) {}
  AVSValue(const PClip& clip) : type_(clip ? Type::kClip : Type::kVoid), integer_(0) {
    if (clip) new (&clip_) PClip(clip);
  }
  AVSValue(bool b) : type_(Type::kBool), boolean_(b) {}
  AVSValue(int i) : type_(Type::kInt), integer_(i) {}
  AVSValue(double f) : type_(Type::kFloat), floating_(f) {}
  AVSValue(const char* s) : type_(s ? Type::kString : Type::kVoid), string_(s) {}
  AVSValue(const AVSValue* elements, int size)
      : type_(Type::kArray), array_{elements, size < 0 ? 0 : size} {}
  AVSValue(const AVSValue& other) : integer_(0) { CopyFrom(other); }
  AVSValue& operator=(const AVSValue& other) {
    if (this != &other) {
      Clear();
      CopyFrom(other);
    }
    return *this;
  }
  ~AVSValue() { Clear(); }

  Type type() const { return type_; }
  bool Defined() const { return type_ != Type::kVoid; }
  bool IsClip() const { return type_ == Type::kClip; }
  bool IsBool() const { return type_ == Type::kBool; }
  bool IsInt() const { return type_ == Type::kInt; }
  bool IsFloat() const { return type_ == Type::kFloat || type_ == Type::kInt; }
  bool IsString() const { return type_ == Type::kString; }
  bool IsArray() const { return type_ == Type::kArray; }

  PClip AsClip() const { return IsClip() ? clip_ : PClip(); }
  bool AsBool(bool fallback) const { return IsBool() ? boolean_ : fallback; }
  int AsInt(int fallback) const { return IsInt() ? integer_ : fallback; }
  double AsFloat(double fallback) const {
    return type_ == Type::kFloat ? floating_ : IsInt() ? integer_ : fallback;
  }
  const char* AsString(const char* fallback) const { return IsString() ? string_ : fallback; }

  // Elements of an array; a value that is no array behaves as an empty one,
  // and an index outside it gives a value that holds nothing.
  int ArraySize() const { return IsArray() ? array_.size : 0; }
  AVSValue operator[](int index) const {
    if (!IsArray() || index < 0 || index >= array_.size) return AVSValue();
    return array_.elements[index];
  }

 private:
  struct ArrayView {
    const AVSValue* elements;
    int size;
  };

  void CopyFrom(const AVSValue& other) {
    type_ = other.type_;
    switch (type_) {
      case Type::kVoid:
        break;
      case Type::kClip:
        new (&clip_) PClip(other.clip_);
        break;
      case Type::kBool:
        boolean_ = other.boolean_;
        break;
      case Type::kInt:
        integer_ = other.integer_;
        break;
      case Type::kFloat:
        floating_ = other.floating_;
        break;
      case Type::kString:
        string_ = other.string_;
        break;
      case Type::kArray:
        array_ = other.array_;
        break;
    }
  }
  void Clear() {
    if (type_ == Type::kClip) clip_.~PClip();
    type_ = Type::kVoid;
  }

  Type type_ = Type::kVoid;
  union {
    PClip clip_;
    bool boolean_;
    int integer_;
    double floating_;
    const char* string_;
    ArrayView array_;
  };
};

class IScriptEnvironment {
 public:
  virtual ~IScriptEnvironment() = default;
  virtual long GetCPUFlags() = 0;
  // Registers a script function. The three pointers must stay valid for as
  // long as the function may be called; the host keeps them, not copies.
  virtual void AddFunction(const char* name, const char* params, ApplyFunc apply,
                           void* user_data) = 0;
  // Raises a script error with a printf-style message; never returns.
  [[noreturn]] virtual void ThrowError(const char* format, ...) = 0;
  // Leaves *frame denoting a frame with the same content that the caller
  // alone holds; returns true when that took a copy.
  virtual bool MakeWritable(PVideoFrame* frame) = 0;
};

// A filter that passes everything to its source clip; filters derive from
// it and override what they change.
class GenericVideoFilter : public IClip {
 public:
  // A missing source gives an empty description, which no filter accepts,
  // rather than a crash.
  explicit GenericVideoFilter(PClip source)
      : child(source), vi(child ? child->GetVideoInfo() : VideoInfo{}) {}

  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override { return child->GetFrame(n, env); }
  bool GetParity(int n) override { return child->GetParity(n); }
  void GetAudio(void* buf, std::int64_t start, std::int64_t count,
                IScriptEnvironment* env) override {
    child->GetAudio(buf, start, count, env);
  }
  void SetCacheHints(int, int) override {}
  const VideoInfo& GetVideoInfo() override { return vi; }

 protected:
  PClip child;
  VideoInfo vi;
};

// How a plugin's entry point is declared: exported from the library under
// its plain C name, the only symbol the host looks up. On 32-bit Windows the
// host looks up the name as a stdcall function's is decorated,
// "_AvisynthPluginInit2@4"; GNU ld would export a __declspec(dllexport)
// function without the leading underscore, so there the plugin's module
// definition file exports it under that name.
#if defined(_WIN32)
#define FRAMESERVER_PLUGIN_ENTRY extern "C"
#define FRAMESERVER_STDCALL __stdcall
#else
#define FRAMESERVER_PLUGIN_ENTRY extern "C" __attribute__((visibility("default")))
#define FRAMESERVER_STDCALL
#endif
