// A clip read from a frame stream (a YUV4MPEG2 stream, or any video file
// that FFmpeg decodes): 4:2:0 frames as I420, read in order straight into the
// host's frames, one at a time, so that memory stays flat whatever the
// stream's length.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "environment.h"
#include "frame_stream.h"
#include "plugin_interface.h"

namespace vorlith::media {

class StreamSourceClip : public IClip {
 public:
  // The frame count is the stream's where its file tells, else 0.
  StreamSourceClip(host::Environment& env, std::unique_ptr<FrameStream> stream,
                   std::string input_name);

  // Whether the stream has frame n: the stream alone decides, so a frame
  // handed out already still counts. Reads forward as far as frame n, which
  // the clip then holds until GetFrame hands it out; a frame read on the way
  // that nobody asked for is dropped. Read errors throw Y4mError.
  bool HasFrame(int n);
  // Frame n, read first if need be; the clip keeps no reference to it, so
  // the caller holds it alone. The stream is read forward only: a frame
  // handed out or dropped already, or one past the end, is a script error.
  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override;
  // The FRAME parameters of frame n, once frame n has been read. The clip
  // keeps those of every frame from the oldest not yet taken, so a caller
  // takes them frame by frame; later calls for n or earlier give "".
  std::string TakeFrameParameters(int n);

  // Top field first when the header says so.
  bool GetParity(int n) override;
  // The stream has no audio.
  void GetAudio(void*, std::int64_t, std::int64_t, IScriptEnvironment*) override {}
  void SetCacheHints(int, int) override {}
  const VideoInfo& GetVideoInfo() override { return vi_; }

  const Y4mHeader& header() const { return stream_->header(); }
  const FrameStream& stream() const { return *stream_; }

 private:
  // Reads until frame n is the last frame read, held in ahead_; false when
  // the stream ends first.
  bool ReadUpTo(std::int64_t n);

  host::Environment& env_;
  std::string input_name_;
  std::unique_ptr<FrameStream> stream_;
  VideoInfo vi_;
  // The last frame read, until it is handed out or dropped.
  PVideoFrame ahead_;
  // The FRAME parameters of the frames from parameters_first_ on.
  std::deque<std::string> parameters_;
  std::int64_t parameters_first_ = 0;
};

}  // namespace vorlith::media
