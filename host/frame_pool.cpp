#include "frame_pool.h"

#include <cstring>
#include <map>
#include <new>
#include <stdexcept>
#include <tuple>
#include <vector>

namespace vorlith::host {
namespace {

constexpr std::size_t kRowAlignment = 64;
// Released buffers kept per layout; more than a few in flight is unusual.
constexpr std::size_t kKeptPerLayout = 8;

struct Layout {
  int pixel_type;
  int width;
  int height;
  RowOrder order;
  auto operator<=>(const Layout&) const = default;
};

struct PlaneShape {
  int row_size;
  int height;
};

// The planes of a frame: luma and two chroma planes halved both ways,
// rounding up, for 4:2:0; one plane of whole pixels for packed types.
std::vector<PlaneShape> PlanesOf(const Layout& layout) {
  const VideoInfo vi{
      .width = layout.width, .height = layout.height, .pixel_type = layout.pixel_type};
  if (vi.IsYV12()) {
    const PlaneShape chroma{(layout.width + 1) / 2, (layout.height + 1) / 2};
    return {{layout.width, layout.height}, chroma, chroma};
  }
  const int bytes_per_pixel = vi.Is(VideoInfo::CS_YUY2)    ? 2
                              : vi.Is(VideoInfo::CS_BGR24) ? 3
                              : vi.Is(VideoInfo::CS_BGR32) ? 4
                                                           : 1;
  return {{layout.width * bytes_per_pixel, layout.height}};
}

std::size_t PitchFor(int row_size) {
  return (static_cast<std::size_t>(row_size) + kRowAlignment - 1) & ~(kRowAlignment - 1);
}

}  // namespace

struct FramePool::State {
  std::map<Layout, std::vector<std::unique_ptr<Frame>>> released;
  int live = 0;
  std::int64_t allocated = 0;
};

class FramePool::Frame : public VideoFrame {
 public:
  Frame(std::shared_ptr<State> pool, const Layout& layout)
      : pool_(std::move(pool)), layout_(layout) {
    const std::vector<PlaneShape> shapes = PlanesOf(layout);
    std::size_t size = 0;
    for (const PlaneShape& shape : shapes) size += PitchFor(shape.row_size) * shape.height;
    size_ = size == 0 ? kRowAlignment : size;
    buffer_ = static_cast<std::uint8_t*>(::operator new (size_, std::align_val_t{kRowAlignment}));
    std::memset(buffer_, 0, size_);
    ++pool_->allocated;

    std::uint8_t* base = buffer_;
    for (std::size_t p = 0; p < shapes.size(); ++p) {
      const int pitch = static_cast<int>(PitchFor(shapes[p].row_size));
      Plane& plane = planes_[p];
      plane.row_size = shapes[p].row_size;
      plane.height = shapes[p].height;
      const bool bottom_up = layout.order == RowOrder::kBottomUp && plane.height > 0;
      plane.pitch = bottom_up ? -pitch : pitch;
      plane.top = bottom_up ? base + static_cast<std::ptrdiff_t>(pitch) * (plane.height - 1) : base;
      base += static_cast<std::ptrdiff_t>(pitch) * plane.height;
    }
  }
  ~Frame() override { ::operator delete (buffer_, std::align_val_t{kRowAlignment}); }

  const Layout& layout() const { return layout_; }

  // Zeroes the bytes past the row size, which a painting filter may have set.
  void ClearPadding() {
    for (const Plane& plane : planes_) {
      const int stride = plane.pitch < 0 ? -plane.pitch : plane.pitch;
      for (int r = 0; r < plane.height; ++r) {
        std::memset(plane.top + static_cast<std::ptrdiff_t>(r) * plane.pitch + plane.row_size, 0,
                    static_cast<std::size_t>(stride - plane.row_size));
      }
    }
  }

  void CopyContentFrom(const VideoFrame& source) {
    for (int p = 0; p < 3; ++p) {
      const int id = p == 0 ? PLANAR_Y : p == 1 ? PLANAR_U : PLANAR_V;
      const Plane& plane = planes_[p];
      for (int r = 0; r < plane.height; ++r) {
        std::memcpy(plane.top + static_cast<std::ptrdiff_t>(r) * plane.pitch,
                    source.GetReadPtr(id) + static_cast<std::ptrdiff_t>(r) * source.GetPitch(id),
                    static_cast<std::size_t>(plane.row_size));
      }
    }
  }

 protected:
  void Recycle() override {
    // Keeping the pool state alive until this frame is handed back.
    std::shared_ptr<State> pool = std::move(pool_);
    --pool->live;
    // NewFrame made this layout's list with room reserved, so keeping the
    // frame allocates nothing here, where nothing may throw.
    std::vector<std::unique_ptr<Frame>>& kept = pool->released.find(layout_)->second;
    if (kept.size() < kKeptPerLayout) {
      kept.emplace_back(this);
    } else {
      delete this;
    }
  }

 private:
  friend class FramePool;

  std::shared_ptr<State> pool_;
  Layout layout_;
  std::uint8_t* buffer_ = nullptr;
  std::size_t size_ = 0;
};

FramePool::FramePool() : state_(std::make_shared<State>()) {}
FramePool::~FramePool() = default;

PVideoFrame FramePool::NewFrame(const VideoInfo& vi, RowOrder order) {
  if (vi.width < 0 || vi.height < 0) throw std::invalid_argument("frame size is negative");
  const Layout layout{vi.pixel_type, vi.width, vi.height, order};
  std::vector<std::unique_ptr<Frame>>& kept = state_->released[layout];
  kept.reserve(kKeptPerLayout);
  std::unique_ptr<Frame> frame;
  if (kept.empty()) {
    frame = std::make_unique<Frame>(state_, layout);
  } else {
    frame = std::move(kept.back());
    kept.pop_back();
    frame->pool_ = state_;
    frame->ClearPadding();
  }
  ++state_->live;
  return PVideoFrame(frame.release());
}

PVideoFrame FramePool::CopyOf(const VideoFrame& source) {
  const auto* original = dynamic_cast<const Frame*>(&source);
  if (original == nullptr) throw std::invalid_argument("frame was not made by a frame pool");
  const Layout& layout = original->layout();
  VideoInfo vi;
  vi.width = layout.width;
  vi.height = layout.height;
  vi.pixel_type = layout.pixel_type;
  PVideoFrame copy = NewFrame(vi, layout.order);
  static_cast<Frame*>(copy.get())->CopyContentFrom(source);
  return copy;
}

int FramePool::LiveFrames() const { return state_->live; }
std::int64_t FramePool::BuffersAllocated() const { return state_->allocated; }

}  // namespace vorlith::host
