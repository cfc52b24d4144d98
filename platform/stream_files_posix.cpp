#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <stdexcept>

#include "stream_files.h"
#include "system_error_text.h"
#include "temporary_name.h"

namespace vorlith::platform {
namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& problem,
                       const SystemError& error) {
  throw std::runtime_error(path + ": " + problem + ": " + SystemErrorText(error));
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Makes the directory entry of a rename durable as well; a file system that
// cannot say so loses nothing that was not already at stake.
void SyncDirectory(const std::string& directory) {
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

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

ClosedStandardStreams OpenClosedStandardStreams() {
  ClosedStandardStreams closed;
  bool* const flags[] = {&closed.input, &closed.output, &closed.error};
  for (int fd = 0; fd < 3; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    *flags[fd] = true;
    // The lower descriptors are open by now, so this one takes number fd.
    const int opened = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != fd) {
      dup2(opened, fd);
      close(opened);
    }
  }
  return closed;
}

OutputFile::OutputFile(const std::string& path) : path_(path), target_(path) {
  struct stat link {};
  const bool exists = lstat(path.c_str(), &link) == 0;
  if (!exists && errno != ENOENT) Fail(path, "cannot examine", LastSystemError());
  struct stat file {};
  if (exists) {
    // Replacing a symbolic link by the new file would cut the link; the
    // file it leads to is the one to replace.
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) == nullptr) {
      if (errno == ENOENT) {
        throw std::runtime_error(path + ": is a symbolic link to a file that does not exist");
      }
      Fail(path, "cannot examine", LastSystemError());
    }
    target_ = resolved;
    if (stat(target_.c_str(), &file) != 0) Fail(path, "cannot examine", LastSystemError());
    if (S_ISDIR(file.st_mode)) throw std::runtime_error(path + ": is a directory");
    if (!S_ISREG(file.st_mode)) {
      fd_ = open(target_.c_str(), O_WRONLY | O_CLOEXEC);
      if (fd_ < 0) Fail(path, "cannot open for writing", LastSystemError());
      return;
    }
  }
  for (int attempt = 0; fd_ < 0; ++attempt) {
    temporary_ = TemporaryNameFor(target_);
    // 0666 as for any new file: the umask decides, as it would have.
    fd_ = open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && (errno != EEXIST || attempt == 100)) {
      const SystemError error = LastSystemError();
      temporary_.clear();
      Fail(path, "cannot create a temporary file in " + DirectoryOf(target_), error);
    }
  }
  if (exists) {
    // The replacement keeps the mode of the file it replaces, and its owner
    // where this process may give it.
    fchmod(fd_, file.st_mode & 07777);
    if (file.st_uid != geteuid() || file.st_gid != getegid()) {
      [[maybe_unused]] const int ignored = fchown(fd_, file.st_uid, file.st_gid);
    }
  }
}

OutputFile::~OutputFile() { Abandon(); }

void OutputFile::Commit() {
  if (temporary_.empty()) {
    const int closed = close(fd_);
    fd_ = -1;
    if (closed != 0) Fail(path_, "write failed", LastSystemError());
    return;
  }
  // Until the data is on the disk, a crash after the rename could leave an
  // empty or partial file under the name.
  SystemError error;
  if (fsync(fd_) != 0) error = LastSystemError();
  if (close(fd_) != 0 && error.number == 0) error = LastSystemError();
  fd_ = -1;
  if (error.number != 0) {
    Abandon();
    Fail(path_, "write failed", error);
  }
  if (rename(temporary_.c_str(), target_.c_str()) != 0) {
    const SystemError error = LastSystemError();
    Abandon();
    Fail(path_, "cannot put the new file in place", error);
  }
  temporary_.clear();
  SyncDirectory(DirectoryOf(target_));
}

void OutputFile::Abandon() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
}

}  // namespace vorlith::platform
