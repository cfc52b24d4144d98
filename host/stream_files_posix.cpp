#include <fcntl.h>
#include <sys/stat.h>

#include "stream_files.h"

namespace vorlith::host {

int OpenStreamForReading(const std::string& path) {
  return open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

int CreateStreamForWriting(const std::string& path) {
  return open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
}

bool IsSameFile(const std::string& path, int fd) {
  struct stat named {
  }, open{};
  return stat(path.c_str(), &named) == 0 && fstat(fd, &open) == 0 && named.st_dev == open.st_dev &&
         named.st_ino == open.st_ino;
}

}  // namespace vorlith::host
