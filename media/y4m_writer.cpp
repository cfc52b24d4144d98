#include "y4m_writer.h"

#include <stdexcept>
#include <utility>

#include "system_error_text.h"
#include "y4m_text.h"

namespace vorlith::media {

Y4mWriter::Y4mWriter(int fd, std::string output_name, const Y4mHeader& header)
    : fd_(fd), output_name_(std::move(output_name)), header_(header) {
  platform::UseBinaryMode(fd_);
  line_ = header_.line + '\n';
  rows_.Append(line_.data(), line_.size());
  WriteRows();
}

void Y4mWriter::WriteFrame(const host::PlaneView planes[host::kPlaneCount],
                           std::string_view frame_parameters) {
  if (failure_) throw *failure_;
  if ((!frame_parameters.empty() && frame_parameters[0] != ' ') ||
      frame_parameters.find('\n') != std::string_view::npos) {
    throw std::invalid_argument("FRAME parameters " + QuoteForMessage(frame_parameters) +
                                " must be empty or begin with a space, and hold no newline");
  }
  line_.assign(kFrameWord).append(frame_parameters).push_back('\n');
  rows_.Clear();
  rows_.Append(line_.data(), line_.size());
  rows_.AppendPlanes(header_, planes);
  WriteRows();
}

void Y4mWriter::WriteRows() {
  const TransferResult written = rows_.Transfer(fd_, platform::WriteRanges, OnSignal::kGoOn);
  if (written.error.number == 0 && rows_.PendingBytes() == 0) return;
  // writev returning 0 for a non-empty request means the output takes no more.
  const std::string problem = written.error.number != 0 ? platform::SystemErrorText(written.error)
                                                        : "the output took no more bytes";
  failure_.emplace(output_name_, "write failed: " + problem);
  throw *failure_;
}

}  // namespace vorlith::media
