// A clip read from a YUV4MPEG2 stream: 4:2:0 frames as I420, read in order
// straight into the host's frames, one at a time, so that memory stays flat
// whatever the stream's length.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "environment.h"
#include "plugin_interface.h"
#include "y4m_reader.h"

namespace vorlith::host {

class Y4mSourceClip : public IClip {
 public:
  // Reads the stream header from `fd` (Y4mError on a fault). The frame
  // count is known for a regular file of bare FRAME lines, else it is 0.
  Y4mSourceClip(Environment& env, int fd, std::string input_name);

  // Whether frame n exists; reads it ahead when n is the next frame of the
  // stream. Frames are taken in order: n must be the frame after the last
  // one handed out. Read errors throw Y4mError.
  bool HasFrame(int n);
  // The frame that HasFrame(n) read; the clip keeps no reference to it, so
  // the caller holds it alone. Any other n is a script error.
  PVideoFrame GetFrame(int n, IScriptEnvironment* env) override;
  // The FRAME parameters of the frame last handed out.
  const std::string& FrameParameters() const { return handed_parameters_; }

  // Top field first when the header says so.
  bool GetParity(int n) override;
  // The stream has no audio.
  void GetAudio(void*, std::int64_t, std::int64_t, IScriptEnvironment*) override {}
  void SetCacheHints(int, int) override {}
  const VideoInfo& GetVideoInfo() override { return vi_; }

  const Y4mHeader& header() const { return reader_.header(); }

 private:
  Environment& env_;
  std::string input_name_;
  Y4mReader reader_;
  VideoInfo vi_;
  // The frame HasFrame read, until it is handed out; it is always the
  // stream's last frame read.
  PVideoFrame ahead_;
  std::string ahead_parameters_;
  std::string handed_parameters_;
};

// The luma, U and V planes of a host frame, in y4m order, for the reader to
// fill (a frame that its caller alone holds) or the writer to write.
std::array<PlaneBuffer, kPlaneCount> FramePlanes(const VideoFrame& frame);

// The number of frames in a regular file that holds `file_bytes` bytes and
// whose frames all have a bare FRAME line, or 0 when that cannot be told.
int FramesInY4mFile(const Y4mHeader& header, std::int64_t file_bytes);

}  // namespace vorlith::host
