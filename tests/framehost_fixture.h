// What the end-to-end tests of framehost share: a scratch directory, the
// built programs, and small clips and readers of what came out.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "file_bytes.h"
#include "run_process.h"

namespace vorlith::testing {

// A stream's header line and its frames (FRAME line and planes, as bytes).
struct SplitStream {
  std::string header;
  std::vector<std::string> frames;
};
SplitStream Split(const std::string& bytes);

// A progressive 4:2:0 stream: a smooth ramp that moves by a sample per frame,
// with FRAME parameters that must survive.
std::string ProgressiveStream(int width, int height, int frames);

// Lines of `text`, each with its line feed removed.
std::vector<std::string> Lines(const std::string& text);

class Framehost : public ::testing::Test {
 protected:
  Framehost();
  ~Framehost() override;

  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  // The names in the scratch directory, sorted.
  std::vector<std::string> DirectoryNames() const;

  ProcessResult Framehost_(std::vector<std::string> args, const std::string& stdin_path = "");
  // Runs `script` with sh -c; $FRAMEHOST, $PLUGIN_DIR and $DIR (the scratch
  // directory) are set.
  ProcessResult Shell(const std::string& script, const std::string& stdin_path = "");
  std::string ExampleClip(int frames);

  std::string dir_;
};

}  // namespace vorlith::testing
