#include "y4m_streams.h"

#include <unistd.h>

#include <cstdio>
#include <stdexcept>

namespace vorlith::testing {
namespace {

std::uint8_t SampleAt(std::size_t frame, int plane, std::int32_t row, std::int32_t column) {
  return static_cast<std::uint8_t>(frame * 67 + plane * 101 + row * 13 + column * 3 +
                                   (row * column) % 7);
}

void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written <= 0) throw std::runtime_error("TempFile: write failed");
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

}  // namespace

TestStream MakeTestStream(std::string_view header_line, std::vector<std::string> frame_parameters) {
  TestStream stream;
  stream.header = media::ParseY4mHeader(header_line, "test stream");
  stream.bytes = std::string(header_line) + "\n";
  for (std::size_t f = 0; f < frame_parameters.size(); ++f) {
    std::string planes;
    for (int p = 0; p < host::kPlaneCount; ++p) {
      for (std::int32_t r = 0; r < stream.header.PlaneHeight(p); ++r) {
        for (std::int32_t c = 0; c < stream.header.PlaneWidth(p); ++c) {
          planes += static_cast<char>(SampleAt(f, p, r, c));
        }
      }
    }
    stream.bytes += "FRAME" + frame_parameters[f] + "\n" + planes;
    stream.frame_planes.push_back(std::move(planes));
  }
  stream.frame_parameters = std::move(frame_parameters);
  return stream;
}

std::string PlaneBytes(const host::PlaneBuffer planes[host::kPlaneCount]) {
  std::string bytes;
  for (int p = 0; p < host::kPlaneCount; ++p) {
    for (std::int32_t r = 0; r < planes[p].height; ++r) {
      bytes.append(reinterpret_cast<const char*>(planes[p].data + r * planes[p].pitch),
                   static_cast<std::size_t>(planes[p].row_size));
    }
  }
  return bytes;
}

BottomUpPlanes::BottomUpPlanes(const host::PlaneBuffer source[host::kPlaneCount]) {
  for (int p = 0; p < host::kPlaneCount; ++p) {
    const host::PlaneBuffer& s = source[p];
    planes[p] = {s.data + (s.height - 1) * s.pitch, -s.pitch, s.row_size, s.height};
  }
}

TempFile::TempFile(std::string_view contents) {
  std::FILE* file = std::tmpfile();
  if (file == nullptr) throw std::runtime_error("TempFile: tmpfile failed");
  // Keep only a descriptor of our own; the FILE's buffer must not interfere.
  fd_ = dup(fileno(file));
  std::fclose(file);
  WriteAll(fd_, contents);
  lseek(fd_, 0, SEEK_SET);
}

TempFile::~TempFile() { close(fd_); }

std::string TempFile::Contents() const {
  // Read from the start and put the position back (Windows has no pread).
  const off_t position = lseek(fd_, 0, SEEK_CUR);
  if (position < 0 || lseek(fd_, 0, SEEK_SET) != 0) {
    throw std::runtime_error("TempFile: seek failed");
  }
  std::string contents;
  char chunk[65536];
  for (;;) {
    const ssize_t got = read(fd_, chunk, sizeof chunk);
    if (got < 0) throw std::runtime_error("TempFile: read failed");
    if (got == 0) break;
    contents.append(chunk, static_cast<std::size_t>(got));
  }
  lseek(fd_, position, SEEK_SET);
  return contents;
}

}  // namespace vorlith::testing
