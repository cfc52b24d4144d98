// Captures what the process writes to its standard error (file descriptor 2)
// while an object of this class lives, the way a debug-output viewer would
// listen on the channel.
#pragma once

#include <string>

namespace vorlith::testing {

class StderrCapture {
 public:
  StderrCapture();
  ~StderrCapture();
  StderrCapture(const StderrCapture&) = delete;
  StderrCapture& operator=(const StderrCapture&) = delete;

  // Restores standard error and returns every byte written since capture began.
  std::string Finish();

 private:
  int saved_stderr_ = -1;
  int read_end_ = -1;
};

}  // namespace vorlith::testing
