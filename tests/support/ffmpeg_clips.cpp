#include "ffmpeg_clips.h"

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "file_bytes.h"
#include "run_process.h"
#include "y4m_frame_buffer.h"
#include "y4m_reader.h"
#include "y4m_streams.h"

namespace vorlith::testing {
namespace {

// The ffmpeg program's path, found on PATH, or empty.
const std::string& FfmpegProgram() {
  static const std::string program = [] {
    const char* path = std::getenv("PATH");
    std::istringstream directories(path ? path : "");
    for (std::string directory; std::getline(directories, directory, ':');) {
      const std::string candidate = directory + "/ffmpeg";
      if (!directory.empty() && access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return std::string();
  }();
  return program;
}

}  // namespace

FfmpegClips::FfmpegClips() {
  char pattern[] = "/tmp/ffmpeg_clips.XXXXXX";
  dir_ = mkdtemp(pattern);
}

FfmpegClips::~FfmpegClips() { std::filesystem::remove_all(dir_); }

std::string FfmpegClips::MissingEncoder(const std::string& encoder) {
  // Asked once: the list does not change while the tests run.
  if (FfmpegProgram().empty()) return "the ffmpeg program is not installed (Debian: ffmpeg)";
  static const ProcessResult listed = RunProcess({FfmpegProgram(), "-hide_banner", "-encoders"});
  if (listed.exit_status != 0) return "ffmpeg -encoders failed: " + listed.err;
  if (listed.out.find(" " + encoder + " ") == std::string::npos) {
    return "this ffmpeg has no " + encoder + " encoder";
  }
  return "";
}

std::string FfmpegClips::MakeClip(const std::string& name, const std::vector<std::string>& args) {
  std::vector<std::string> command = {FfmpegProgram(), "-v", "error", "-y"};
  command.insert(command.end(), args.begin(), args.end());
  command.push_back(Path(name));
  const ProcessResult made = RunProcess(command);
  EXPECT_EQ(made.exit_status, 0) << "making " << name << ": " << made.err;
  return Path(name);
}

FfmpegClips::UnreadableClips FfmpegClips::MakeUnreadableClips() {
  UnreadableClips clips;
  clips.yuv422_with_audio =
      MakeClip("with_audio.mkv", {"-f", "lavfi", "-i", "testsrc2=size=64x48:rate=25", "-f", "lavfi",
                                  "-i", "sine", "-frames:v", "2", "-t", "0.1", "-c:v", "ffv1",
                                  "-pix_fmt", "yuv422p", "-c:a", "pcm_s16le"});
  clips.audio_only = MakeClip("audio.wav", {"-f", "lavfi", "-i", "sine", "-t", "0.1"});
  clips.not_media = Path("notes.txt");
  WriteFile(clips.not_media, "not a video, only words\n");
  return clips;
}

std::string FfmpegClips::DecodeToY4m(const std::string& path,
                                     const std::vector<std::string>& args) {
  const std::string y4m = path + ".ffmpeg.y4m";
  std::vector<std::string> command = {FfmpegProgram(), "-v", "error", "-y", "-i", path};
  command.insert(command.end(), args.begin(), args.end());
  command.insert(command.end(), {"-f", "yuv4mpegpipe", y4m});
  const ProcessResult decoded = RunProcess(command);
  EXPECT_EQ(decoded.exit_status, 0) << "decoding " << path << ": " << decoded.err;
  return y4m;
}

DecodedClip FfmpegClips::DecodeWithFfmpeg(const std::string& path,
                                          const std::vector<std::string>& args) {
  const std::string y4m = DecodeToY4m(path, args);
  DecodedClip clip;
  const int fd = open(y4m.c_str(), O_RDONLY);
  if (fd < 0) return clip;
  media::Y4mReader reader(fd, y4m);
  clip.header_line = reader.header().line;
  media::Y4mFrameBuffer frame(reader.header());
  while (reader.ReadFrame(frame.planes(), nullptr))
    clip.frames.push_back(PlaneBytes(frame.planes()));
  close(fd);
  return clip;
}

const std::vector<std::string> kTestSource = {"-f", "lavfi", "-i", "testsrc2=size=320x240:rate=25"};

const std::vector<std::string> kTelecinedMpeg2 = {
    "-f",        "lavfi",
    "-i",        "testsrc2=size=352x240:rate=24000/1001",
    "-vf",       "telecine=first_field=top:pattern=23",
    "-frames:v", "15",
    "-c:v",      "mpeg2video",
    "-flags",    "+ildct+ilme",
    "-top",      "1"};

const std::vector<std::string> kInterlacedH264 = {
    "-f",      "lavfi",  "-i",         "testsrc2=size=320x240:rate=25", "-frames:v", "40", "-c:v",
    "libx264", "-flags", "+ildct+ilme"};

const std::vector<std::string> kMpeg2 = {
    "-f", "lavfi", "-i", "testsrc2=size=352x240:rate=30", "-frames:v", "40", "-c:v", "mpeg2video"};

std::vector<std::string> Args(std::vector<std::string> head, const std::vector<std::string>& tail) {
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

}  // namespace vorlith::testing
