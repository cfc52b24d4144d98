// What the FFmpeg reader costs beyond decoding: the same file decoded
// alone, and decoded and copied into 64-byte aligned planes as the host's
// frames have them. Each is run `--runs` times, alternating, and the
// fastest run of each is compared; the copy should cost under a tenth of
// the decoding.
//
//   build/release/bin/media_decode_bench --clip=movie.mkv [--runs=5]
#include <fcntl.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "descriptor_avio.h"
#include "ffmpeg_decoder.h"
#include "ffmpeg_log.h"
#include "ffmpeg_reader.h"
#include "y4m_frame_buffer.h"

namespace {

using Clock = std::chrono::steady_clock;

void PrintLine(std::string_view line) {
  std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
}

// Seconds to decode every frame; `frames` gets their count.
double DecodeOnly(const std::string& clip, long long* frames) {
  const auto start = Clock::now();
  vorlith::media::FfmpegLogRoute route(PrintLine, false);
  const int fd = open(clip.c_str(), O_RDONLY);
  if (fd < 0) throw std::runtime_error(clip + ": cannot open: " + std::strerror(errno));
  vorlith::media::FfmpegDecoder decoder(
      std::make_unique<vorlith::media::DescriptorInput>(fd, std::string_view(), true), clip, {},
      route);
  while (decoder.NextFrame() != nullptr) {
  }
  *frames = decoder.frames_decoded();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Seconds to decode and copy every frame with the reader.
double DecodeAndCopy(const std::string& clip, long long* frames) {
  const auto start = Clock::now();
  vorlith::media::FfmpegReaderOptions options;
  options.log = PrintLine;
  vorlith::media::FfmpegReader reader(clip, options);
  const std::int32_t width = reader.header().width;
  const vorlith::media::Y4mFrameBuffer frame(reader.header(), (64 - width % 64) % 64);
  while (reader.ReadFrame(frame.planes(), nullptr)) {
  }
  *frames = reader.frames_read();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
  std::string clip;
  int runs = 5;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--clip=", 0) == 0) {
      clip = arg.substr(7);
    } else if (arg.rfind("--runs=", 0) == 0) {
      runs = std::stoi(arg.substr(7));
    } else {
      std::fprintf(stderr, "usage: media_decode_bench --clip=FILE [--runs=N]\n");
      return 2;
    }
  }
  if (clip.empty() || runs < 1) {
    std::fprintf(stderr, "usage: media_decode_bench --clip=FILE [--runs=N]\n");
    return 2;
  }
  try {
    double decode = 1e30, copy = 1e30;
    long long decoded = 0, copied = 0;
    for (int r = 0; r < runs; ++r) {
      decode = std::min(decode, DecodeOnly(clip, &decoded));
      copy = std::min(copy, DecodeAndCopy(clip, &copied));
    }
    std::printf("%s: %lld frames\n", clip.c_str(), decoded);
    std::printf("decode only:     %.3f s (%.1f frames/s)\n", decode, decoded / decode);
    std::printf("decode and copy: %.3f s (%.1f frames/s, %lld frames)\n", copy, copied / copy,
                copied);
    std::printf("decode and copy / decode only = %.3f (target < 1.10)\n", copy / decode);
    return decoded == copied ? 0 : 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "media_decode_bench: %s\n", error.what());
    return 1;
  }
}
