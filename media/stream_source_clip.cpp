#include "stream_source_clip.h"

#include <climits>
#include <utility>

#include "frame_planes.h"

namespace vorlith::media {

StreamSourceClip::StreamSourceClip(host::Environment& env, std::unique_ptr<FrameStream> stream,
                                   std::string input_name)
    : env_(env), input_name_(std::move(input_name)), stream_(std::move(stream)) {
  const Y4mHeader& header = stream_->header();
  vi_.width = header.width;
  vi_.height = header.height;
  if (header.frame_rate) {
    vi_.fps_numerator = static_cast<unsigned>(header.frame_rate->numerator);
    vi_.fps_denominator = static_cast<unsigned>(header.frame_rate->denominator);
  }
  // A count past what the host's frame numbers reach is no count at all.
  const std::int64_t count = stream_->frame_count();
  vi_.num_frames = count <= INT_MAX ? static_cast<int>(count) : 0;
  vi_.pixel_type = VideoInfo::CS_I420;
}

bool StreamSourceClip::HasFrame(int n) {
  return n >= 0 && (n < stream_->frames_read() || ReadUpTo(n));
}

bool StreamSourceClip::ReadUpTo(std::int64_t n) {
  while (stream_->frames_read() <= n) {
    ahead_ = nullptr;  // nobody asked for it; its buffer goes back to the pool
    PVideoFrame frame = env_.frames().NewFrame(vi_);
    std::string parameters;
    if (!stream_->ReadFrame(host::WritablePlanes(frame).data(), &parameters)) return false;
    parameters_.push_back(std::move(parameters));
    ahead_ = std::move(frame);
  }
  return true;
}

PVideoFrame StreamSourceClip::GetFrame(int n, IScriptEnvironment* env) {
  const std::int64_t next = stream_->frames_read();
  if (n >= next) {
    if (!ReadUpTo(n)) {
      env->ThrowError("%s: there is no frame %d: the stream ends after %lld frames",
                      input_name_.c_str(), n, static_cast<long long>(stream_->frames_read()));
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

std::string StreamSourceClip::TakeFrameParameters(int n) {
  std::string taken;
  while (!parameters_.empty() && parameters_first_ <= n) {
    if (parameters_first_ == n) taken = std::move(parameters_.front());
    parameters_.pop_front();
    ++parameters_first_;
  }
  return taken;
}

bool StreamSourceClip::GetParity(int) {
  return stream_->header().interlacing == Y4mInterlacing::kTopFieldFirst;
}

}  // namespace vorlith::media
