// A clip read from a YUV4MPEG2 stream: 4:2:0 frames as I420, read in order
// straight into the host's frames, one at a time, so that memory stays flat
// whatever the stream's length.
#pragma once

#include <cstdint>
#include <deque>
#include <string>

#include "environment.h"
#include "plugin_interface.h"
#include "y4m_reader.h"

namespace vorlith::media {

class Y4mSourceClip : public IClip {
 public:
  // Reads the stream header from `fd` (Y4mError on a fault). The frame
  // count is known for a regular file of bare FRAME lines, else it is 0.
  Y4mSourceClip(host::Environment& env, int fd, std::string input_name);

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

  const Y4mHeader& header() const { return reader_.header(); }

 private:
  // Reads until frame n is the last frame read, held in ahead_; false when
  // the stream ends first.
  bool ReadUpTo(std::int64_t n);

  host::Environment& env_;
  std::string input_name_;
  Y4mReader reader_;
  VideoInfo vi_;
  // The last frame read, until it is handed out or dropped.
  PVideoFrame ahead_;
  // The FRAME parameters of the frames from parameters_first_ on.
  std::deque<std::string> parameters_;
  std::int64_t parameters_first_ = 0;
};

// The number of frames in a regular file that holds `file_bytes` bytes and
// whose frames all have a bare FRAME line, or 0 when that cannot be told.
int FramesInY4mFile(const Y4mHeader& header, std::int64_t file_bytes);

}  // namespace vorlith::media
