// YUV4MPEG2 streams built in memory for the tests of the video file layer,
// and the files that hold them. Every sample follows from where it sits
// (frame, plane, row, column), so a byte read into the wrong place shows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "plane_buffer.h"
#include "y4m_header.h"

namespace vorlith::testing {

struct TestStream {
  media::Y4mHeader header;
  std::vector<std::string> frame_parameters;  // as the reader delivers them
  std::vector<std::string> frame_planes;      // each frame's plane bytes in file order
  std::string bytes;                          // the whole stream
};

// A stream with `header_line` and one frame for each entry of
// `frame_parameters` (each empty or beginning with a space).
TestStream MakeTestStream(std::string_view header_line, std::vector<std::string> frame_parameters);

// The bytes of `planes` in file order: row_size bytes of every row.
std::string PlaneBytes(const host::PlaneBuffer planes[host::kPlaneCount]);

// The same planes, with the rows stored bottom-up (negative pitch).
struct BottomUpPlanes {
  explicit BottomUpPlanes(const host::PlaneBuffer planes[host::kPlaneCount]);
  host::PlaneBuffer planes[host::kPlaneCount];
};

// An unnamed temporary file; removed by the system when closed.
class TempFile {
 public:
  explicit TempFile(std::string_view contents = {});
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  // Positioned at the start of the file.
  int fd() const { return fd_; }
  std::string Contents() const;

 private:
  int fd_;
};

}  // namespace vorlith::testing
