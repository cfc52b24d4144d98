// Fuzzes the y4m reader and its header parser: the input is a whole stream.
// Every stream either reads to a clean end or fails with a Y4mError, and
// what was read, written back, must be the input itself: the header line
// and every frame delivered before the end or the fault, byte for byte.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "y4m_frame_buffer.h"
#include "y4m_reader.h"
#include "y4m_writer.h"

namespace {

// Frames larger than this are not read: the limits of the format allow
// frames of 100 MB, which would only make the fuzzer slow.
constexpr std::int64_t kMaxFrameBytes = 1 << 20;

// An in-memory file holding `bytes`, positioned at its start.
int MemoryFile(const std::uint8_t* bytes, std::size_t size) {
  const int fd = memfd_create("y4m", 0);
  if (fd < 0) std::abort();
  for (std::size_t done = 0; done < size;) {
    const ssize_t n = write(fd, bytes + done, size - done);
    if (n <= 0) std::abort();
    done += static_cast<std::size_t>(n);
  }
  lseek(fd, 0, SEEK_SET);
  return fd;
}

std::string Contents(int fd) {
  std::string bytes;
  lseek(fd, 0, SEEK_SET);
  char chunk[65536];
  for (ssize_t n; (n = read(fd, chunk, sizeof chunk)) > 0;) {
    bytes.append(chunk, static_cast<std::size_t>(n));
  }
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace vorlith::media;
  const int in = MemoryFile(data, size);
  const int out = memfd_create("copy", 0);
  try {
    Y4mReader reader(in, "input");
    const Y4mHeader& header = reader.header();
    if (header.FrameBytes() <= kMaxFrameBytes) {
      Y4mWriter writer(out, "copy", header);
      Y4mFrameBuffer frame(header, /*row_padding=*/7);
      std::string parameters;
      bool clean_end = false;
      try {
        while (reader.ReadFrame(frame.planes(), &parameters)) {
          writer.WriteFrame(frame.views(), parameters);
        }
        clean_end = true;
      } catch (const Y4mError&) {
        // A fault past the header: what came before it must still be whole.
      }
      const std::string copy = Contents(out);
      if (copy.size() > size || std::memcmp(copy.data(), data, copy.size()) != 0 ||
          (clean_end && copy.size() != size)) {
        std::fprintf(stderr, "the frames read and written back differ from the input (%s)\n",
                     clean_end ? "clean end" : "after a fault");
        std::abort();
      }
    }
  } catch (const Y4mError&) {
    // Refused with a message: what a malformed stream must get.
  }
  close(in);
  close(out);
  return 0;
}
