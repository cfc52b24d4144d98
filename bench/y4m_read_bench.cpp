// How fast the reader takes a clip in, against a plain read loop over the
// same bytes (what `cat clip.y4m > /dev/null` does), from a file and from a
// pipe. Compare figures from one run only:
//
//   y4m_read_bench [--clip=PATH] [--benchmark_...]
//
// Without --clip it writes a 1920x1080 clip of 200 frames to a temporary
// file first. The clip should sit in the page cache: each benchmark reads
// it whole once per iteration, so the first iteration brings it in.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "aligned_bytes.h"
#include "y4m_frame_buffer.h"
#include "y4m_reader.h"
#include "y4m_writer.h"

namespace vorlith::bench {
namespace {

using media::Y4mFrameBuffer;
using media::Y4mReader;

// The chunk size GNU cat reads with.
constexpr std::size_t kPlainChunk = 128 * 1024;

int OpenOrDie(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) {
    std::perror(path.c_str());
    std::exit(1);
  }
  return fd;
}

// Bytes from a descriptor, either the clip file itself or a pipe that a
// thread fills from it with plain chunks, as `cat clip.y4m |` would.
class ClipSource {
 public:
  ClipSource(const std::string& path, bool through_pipe) : file_(OpenOrDie(path)) {
    if (!through_pipe) return;
    int ends[2];
    if (pipe(ends) != 0) std::exit(1);
    read_fd_ = ends[0];
    feeder_ = std::thread([file = file_, out = ends[1]] {
      std::vector<char> chunk(kPlainChunk);
      for (ssize_t got; (got = read(file, chunk.data(), chunk.size())) > 0;) {
        for (ssize_t done = 0; done < got;) {
          const ssize_t put = write(out, chunk.data() + done, static_cast<std::size_t>(got - done));
          if (put <= 0) break;
          done += put;
        }
      }
      close(out);
    });
  }
  ~ClipSource() {
    if (feeder_.joinable()) feeder_.join();
    if (read_fd_ >= 0) close(read_fd_);
    close(file_);
  }

  int fd() const { return read_fd_ >= 0 ? read_fd_ : file_; }

 private:
  int file_;
  int read_fd_ = -1;
  std::thread feeder_;
};

std::int64_t PlainReadAll(int fd) {
  // Aligned like cat's buffer, which comes straight from mmap.
  static const media::AlignedBytes chunk(kPlainChunk);
  std::int64_t total = 0;
  for (ssize_t got; (got = read(fd, chunk.data(), kPlainChunk)) > 0;) total += got;
  return total;
}

std::int64_t ReaderReadAll(int fd, std::int32_t row_padding) {
  Y4mReader reader(fd, "clip");
  const Y4mFrameBuffer frame(reader.header(), row_padding);
  while (reader.ReadFrame(frame.planes(), nullptr)) {
  }
  return reader.frames_read() * reader.header().FrameBytes();
}

// Times `read_all`, which takes in everything from a descriptor and
// returns the bytes it counts, once per iteration over a fresh source.
template <class ReadAll>
void AddRead(const std::string& name, const std::string& clip, bool through_pipe,
             ReadAll read_all) {
  benchmark::RegisterBenchmark((name + (through_pipe ? "/pipe" : "/file")).c_str(),
                               [=](benchmark::State& state) {
                                 std::int64_t bytes = 0;
                                 for (auto _ : state) {
                                   const ClipSource source(clip, through_pipe);
                                   bytes += read_all(source.fd());
                                 }
                                 state.SetBytesProcessed(bytes);
                               })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
}

void Register(const std::string& clip) {
  for (const bool through_pipe : {false, true}) {
    AddRead("read/plain_loop", clip, through_pipe, PlainReadAll);
    // Tight planes take each plane in one range; padded ones (rows of 2048
    // and 1088 bytes, all aligned) take a range per row.
    for (const std::int32_t padding : {0, 128}) {
      AddRead("read/y4m_reader/padding_" + std::to_string(padding), clip, through_pipe,
              [padding](int fd) { return ReaderReadAll(fd, padding); });
    }
  }
}

// A 1920x1080 clip of 200 frames; what the frames hold does not matter here.
std::string WriteTemporaryClip() {
  const char* directory = std::getenv("TMPDIR");
  std::string path = std::string(directory != nullptr ? directory : "/tmp") + "/y4m_benchXXXXXX";
  const int fd = mkstemp(path.data());
  if (fd < 0) std::exit(1);
  const media::Y4mHeader header =
      media::ParseY4mHeader("YUV4MPEG2 W1920 H1080 F30:1 Ip C420jpeg", path);
  const Y4mFrameBuffer frame(header);
  media::Y4mWriter writer(fd, path, header);
  for (int n = 0; n < 200; ++n) writer.WriteFrame(frame.views(), "");
  close(fd);
  return path;
}

}  // namespace
}  // namespace vorlith::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::string clip;
  bool temporary = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if (!argument.starts_with("--clip=")) {
      std::fprintf(stderr, "unknown argument: %s\n", argv[i]);
      return 1;
    }
    clip = argument.substr(7);
  }
  if (clip.empty()) {
    clip = vorlith::bench::WriteTemporaryClip();
    temporary = true;
  }
  vorlith::bench::Register(clip);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  if (temporary) unlink(clip.c_str());
  return 0;
}
