#include "y4m_source_clip.h"

#include <sys/stat.h>

#include <climits>

#include "frame_planes.h"

namespace vorlith::media {

Y4mSourceClip::Y4mSourceClip(host::Environment& env, int fd, std::string input_name)
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

bool Y4mSourceClip::HasFrame(int n) { return n >= 0 && (n < reader_.frames_read() || ReadUpTo(n)); }

bool Y4mSourceClip::ReadUpTo(std::int64_t n) {
  while (reader_.frames_read() <= n) {
    ahead_ = nullptr;  // nobody asked for it; its buffer goes back to the pool
    PVideoFrame frame = env_.frames().NewFrame(vi_);
    std::string parameters;
    if (!reader_.ReadFrame(host::WritablePlanes(frame).data(), &parameters)) return false;
    parameters_.push_back(std::move(parameters));
    ahead_ = std::move(frame);
  }
  return true;
}

PVideoFrame Y4mSourceClip::GetFrame(int n, IScriptEnvironment* env) {
  const std::int64_t next = reader_.frames_read();
  if (n >= next) {
    if (!ReadUpTo(n)) {
      env->ThrowError("%s: there is no frame %d: the stream ends after %lld frames",
                      input_name_.c_str(), n, static_cast<long long>(reader_.frames_read()));
    }
  } else if (n < 0) {
    env->ThrowError("%s: there is no frame %d", input_name_.c_str(), n);
  } else if (n < next - 1 || !ahead_) {
    env->ThrowError(
        "%s: frame %d was read already and the stream is read forward only (the next frame is "
        "%lld)",
        input_name_.c_str(), n, static_cast<long long>(next));
  }
  return std::move(ahead_);
}

std::string Y4mSourceClip::TakeFrameParameters(int n) {
  std::string taken;
  while (!parameters_.empty() && parameters_first_ <= n) {
    if (parameters_first_ == n) taken = std::move(parameters_.front());
    parameters_.pop_front();
    ++parameters_first_;
  }
  return taken;
}

bool Y4mSourceClip::GetParity(int) {
  return reader_.header().interlacing == Y4mInterlacing::kTopFieldFirst;
}

int FramesInY4mFile(const Y4mHeader& header, std::int64_t file_bytes) {
  const std::int64_t data = file_bytes - static_cast<std::int64_t>(header.line.size()) - 1;
  const std::int64_t per_frame = header.FrameBytes() + 6;  // "FRAME\n"
  if (data < 0 || per_frame <= 6 || data % per_frame != 0 || data / per_frame > INT_MAX) return 0;
  return static_cast<int>(data / per_frame);
}

}  // namespace vorlith::media
