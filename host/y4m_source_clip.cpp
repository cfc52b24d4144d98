#include "y4m_source_clip.h"

#include <sys/stat.h>

#include <climits>

namespace vorlith::host {

Y4mSourceClip::Y4mSourceClip(Environment& env, int fd, std::string input_name)
    : env_(env), input_name_(input_name), reader_(fd, std::move(input_name)) {
  const Y4mHeader& header = reader_.header();
  vi_.width = header.width;
  vi_.height = header.height;
  if (header.frame_rate) {
    vi_.fps_numerator = static_cast<unsigned>(header.frame_rate->numerator);
    vi_.fps_denominator = static_cast<unsigned>(header.frame_rate->denominator);
  }
  struct stat status {};
  if (fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
    vi_.num_frames = FramesInY4mFile(header, status.st_size);
  }
  vi_.pixel_type = VideoInfo::CS_I420;
}

bool Y4mSourceClip::HasFrame(int n) {
  if (ahead_) return n == reader_.frames_read() - 1;
  if (n != reader_.frames_read() || n == INT_MAX) return false;
  PVideoFrame frame = env_.frames().NewFrame(vi_);
  if (!reader_.ReadFrame(FramePlanes(*frame.get()).data(), &ahead_parameters_)) return false;
  ahead_ = std::move(frame);
  return true;
}

PVideoFrame Y4mSourceClip::GetFrame(int n, IScriptEnvironment* env) {
  if (!HasFrame(n)) {
    env->ThrowError("%s: frame %d is not the next frame of the stream (frame %lld is)",
                    input_name_.c_str(), n, static_cast<long long>(reader_.frames_read()));
  }
  handed_parameters_.swap(ahead_parameters_);
  return std::move(ahead_);
}

bool Y4mSourceClip::GetParity(int) {
  return reader_.header().interlacing == Y4mInterlacing::kTopFieldFirst;
}

std::array<PlaneBuffer, kPlaneCount> FramePlanes(const VideoFrame& frame) {
  std::array<PlaneBuffer, kPlaneCount> planes;
  const int ids[kPlaneCount] = {PLANAR_Y, PLANAR_U, PLANAR_V};
  for (int p = 0; p < kPlaneCount; ++p) {
    // The read pointer, as a frame shared with others has no write pointer;
    // only the source clip writes, into a new frame that it alone holds.
    planes[p] = {const_cast<std::uint8_t*>(frame.GetReadPtr(ids[p])), frame.GetPitch(ids[p]),
                 frame.GetRowSize(ids[p]), frame.GetHeight(ids[p])};
  }
  return planes;
}

int FramesInY4mFile(const Y4mHeader& header, std::int64_t file_bytes) {
  const std::int64_t data = file_bytes - static_cast<std::int64_t>(header.line.size()) - 1;
  const std::int64_t per_frame = header.FrameBytes() + 6;  // "FRAME\n"
  if (data < 0 || per_frame <= 6 || data % per_frame != 0 || data / per_frame > INT_MAX) return 0;
  return static_cast<int>(data / per_frame);
}

}  // namespace vorlith::host
