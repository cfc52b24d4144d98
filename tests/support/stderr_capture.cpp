#include "stderr_capture.h"

#include <fcntl.h>
#include <unistd.h>

#include <stdexcept>

namespace vorlith::testing {

StderrCapture::StderrCapture() {
  int ends[2];
  if (pipe(ends) != 0) throw std::runtime_error("StderrCapture: pipe failed");
  saved_stderr_ = dup(STDERR_FILENO);
  dup2(ends[1], STDERR_FILENO);
  close(ends[1]);
  read_end_ = ends[0];
}

StderrCapture::~StderrCapture() { Finish(); }

std::string StderrCapture::Finish() {
  std::string captured;
  if (saved_stderr_ < 0) return captured;
  // Closing our copy of the write end lets the read below see end of file.
  dup2(saved_stderr_, STDERR_FILENO);
  close(saved_stderr_);
  saved_stderr_ = -1;
  char chunk[4096];
  for (ssize_t got; (got = read(read_end_, chunk, sizeof chunk)) > 0;) {
    captured.append(chunk, static_cast<std::size_t>(got));
  }
  close(read_end_);
  read_end_ = -1;
  return captured;
}

}  // namespace vorlith::testing
