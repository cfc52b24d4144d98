#include "input_stream.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <string_view>

#include "descriptor_io.h"
#include "system_error_text.h"
#include "y4m_error.h"
#include "y4m_reader.h"
#include "y4m_text.h"
#if defined(VORLITH_HAVE_FFMPEG)
#include "ffmpeg_reader.h"
#endif

namespace vorlith::runner {
namespace {

// Up to `count` bytes from the start of the input; fewer only at its end.
std::string Peek(int fd, const std::string& input_name, std::size_t count) {
  std::string peeked(count, '\0');
  std::size_t got = 0;
  while (got < count) {
    const ssize_t read_now = read(fd, peeked.data() + got, count - got);
    if (read_now < 0 && errno == EINTR) continue;
    if (read_now < 0) {
      throw media::Y4mError(
          input_name, "read failed: " + platform::SystemErrorText(platform::LastSystemError()));
    }
    if (read_now == 0) break;
    got += static_cast<std::size_t>(read_now);
  }
  peeked.resize(got);
  return peeked;
}

bool NamedAsY4m(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  std::string extension = name.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == "y4m";
}

}  // namespace

std::unique_ptr<media::FrameStream> OpenFrameStream(int fd, const std::string& input_name,
                                                    const InputOptions& options) {
  // Before the first byte is read: on Windows standard input starts in text
  // mode, which would alter the bytes looked at.
  platform::UseBinaryMode(fd);
  const std::string signature = std::string(media::kY4mSignature) + " ";
  const std::string peeked = Peek(fd, input_name, signature.size());
  if (peeked.empty()) throw media::Y4mError(input_name, "empty input, no video in it");
  // A stream that begins like one, or a file named as one, is meant as
  // YUV4MPEG2: its faults are best told by the reader that knows the format.
  if (peeked.compare(0, media::kY4mSignature.size(), media::kY4mSignature) == 0 ||
      NamedAsY4m(input_name)) {
    if (options.stream_index.value_or(0) != 0) {
      throw media::Y4mError(input_name, "--stream " + std::to_string(*options.stream_index) +
                                            ": a YUV4MPEG2 stream holds one video stream, 0");
    }
    return std::make_unique<media::Y4mReader>(fd, input_name, peeked);
  }
#if defined(VORLITH_HAVE_FFMPEG)
  media::FfmpegReaderOptions reader;
  reader.stream_index = options.stream_index;
  reader.convert_to_yv12 = options.convert_to_yv12;
  reader.verbose = options.verbose;
  reader.log = options.log;
  return std::make_unique<media::FfmpegReader>(fd, peeked, input_name, std::move(reader));
#else
  throw media::Y4mError(input_name, std::string(media::kNotY4mStream) +
                                        ", and this build of framehost reads YUV4MPEG2 only "
                                        "(it was built without FFmpeg's libraries)");
#endif
}

}  // namespace vorlith::runner
