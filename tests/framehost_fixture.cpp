#include "framehost_fixture.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "y4m_header.h"

namespace vorlith::testing {

SplitStream Split(const std::string& bytes) {
  SplitStream split;
  std::size_t at = bytes.find('\n') + 1;
  split.header = bytes.substr(0, at);
  const media::Y4mHeader header = media::ParseY4mHeader(split.header.substr(0, at - 1), "test");
  while (at < bytes.size()) {
    const std::size_t line_end = bytes.find('\n', at) + 1;
    const std::size_t end = line_end + static_cast<std::size_t>(header.FrameBytes());
    split.frames.push_back(bytes.substr(at, end - at));
    at = end;
  }
  return split;
}

std::string ProgressiveStream(int width, int height, int frames) {
  std::string bytes = "YUV4MPEG2 W" + std::to_string(width) + " H" + std::to_string(height) +
                      " F25:1 Ip A1:1 C420jpeg XCOLORRANGE=LIMITED\n";
  for (int f = 0; f < frames; ++f) {
    bytes += f % 2 ? "FRAME Ip\n" : "FRAME\n";
    for (int r = 0; r < height; ++r) {
      for (int j = 0; j < width; ++j) bytes += static_cast<char>((r + j + f) / 2);
    }
    bytes.append(2 * static_cast<std::size_t>((width + 1) / 2) * ((height + 1) / 2), '\x80');
  }
  return bytes;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

Framehost::Framehost() {
  char pattern[] = "/tmp/framehost_test.XXXXXX";
  dir_ = mkdtemp(pattern);
}

Framehost::~Framehost() { std::filesystem::remove_all(dir_); }

std::vector<std::string> Framehost::DirectoryNames() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

ProcessResult Framehost::Framehost_(std::vector<std::string> args, const std::string& stdin_path) {
  args.insert(args.begin(), FRAMEHOST_PATH);
  return RunProcess(args, "", stdin_path);
}

ProcessResult Framehost::Shell(const std::string& script, const std::string& stdin_path) {
  const std::string framehost = FRAMEHOST_PATH;
  return RunProcess(
      {"/bin/sh", "-c", script}, "", stdin_path,
      {"FRAMEHOST=" + framehost,
       "PLUGIN_DIR=" + std::filesystem::path(framehost).parent_path().string(), "DIR=" + dir_});
}

std::string Framehost::ExampleClip(int frames) {
  const std::string path = Path("example.y4m");
  const ProcessResult made =
      RunProcess({MAKE_PULLDOWN_CLIP_PATH, "--frames=" + std::to_string(frames), path});
  EXPECT_EQ(made.exit_status, 0) << made.err;
  return path;
}

}  // namespace vorlith::testing
