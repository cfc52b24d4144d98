#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <stdexcept>

#include "stream_files.h"
#include "system_error_text.h"
#include "temporary_name.h"

namespace vorlith::platform {

int OpenStreamForReading(const std::string& path) {
  return _open(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}

int CreateStreamForWriting(const std::string& path) {
  return _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT,
               _S_IREAD | _S_IWRITE);
}

// The C runtime's stat tells no file's identity on Windows (st_ino is
// always 0), so the volume and the file index of the two are compared.
bool IsSameFile(const std::string& path, int fd) {
  const HANDLE named =
      CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (named == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION named_info{}, open_info{};
  const bool same =
      GetFileInformationByHandle(named, &named_info) &&
      GetFileInformationByHandle(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), &open_info) &&
      named_info.dwVolumeSerialNumber == open_info.dwVolumeSerialNumber &&
      named_info.nFileIndexHigh == open_info.nFileIndexHigh &&
      named_info.nFileIndexLow == open_info.nFileIndexLow;
  CloseHandle(named);
  return same;
}

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& problem,
                       const SystemError& error) {
  throw std::runtime_error(path + ": " + problem + ": " + SystemErrorText(error));
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

}  // namespace

ClosedStandardStreams OpenClosedStandardStreams() {
  ClosedStandardStreams closed;
  bool* const flags[] = {&closed.input, &closed.output, &closed.error};
  for (int fd = 0; fd < 3; ++fd) {
    // -2 marks a standard descriptor that the process was given no handle for.
    const intptr_t handle = _get_osfhandle(fd);
    if (handle != -1 && handle != -2) continue;
    *flags[fd] = true;
    const int opened = _open("NUL", (fd == 0 ? _O_RDONLY : _O_WRONLY) | _O_BINARY);
    if (opened >= 0 && opened != fd) {
      _dup2(opened, fd);
      _close(opened);
    }
  }
  return closed;
}

OutputFile::OutputFile(const std::string& path) : path_(path), target_(path) {
  struct _stat64 file {};
  const bool exists = _stat64(path.c_str(), &file) == 0;
  if (exists && (file.st_mode & _S_IFDIR)) throw std::runtime_error(path + ": is a directory");
  // NUL, CON and the like cannot be renamed over: they are written in place.
  if (exists && !(file.st_mode & _S_IFREG)) {
    fd_ = _open(path.c_str(), _O_WRONLY | _O_BINARY | _O_NOINHERIT);
    if (fd_ < 0) Fail(path, "cannot open for writing", LastSystemError());
    return;
  }
  for (int attempt = 0; fd_ < 0; ++attempt) {
    temporary_ = TemporaryNameFor(target_);
    fd_ = _open(temporary_.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                _S_IREAD | _S_IWRITE);
    if (fd_ < 0 && (errno != EEXIST || attempt == 100)) {
      const SystemError error = LastSystemError();
      temporary_.clear();
      Fail(path, "cannot create a temporary file in " + DirectoryOf(target_), error);
    }
  }
}

OutputFile::~OutputFile() { Abandon(); }

void OutputFile::Commit() {
  SystemError error;
  if (!temporary_.empty() && _commit(fd_) != 0) error = LastSystemError();
  if (_close(fd_) != 0 && error.number == 0) error = LastSystemError();
  fd_ = -1;
  if (error.number != 0) {
    Abandon();
    Fail(path_, "write failed", error);
  }
  if (temporary_.empty()) return;
  if (!MoveFileExA(temporary_.c_str(), target_.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD reason = GetLastError();
    Abandon();
    throw std::runtime_error(path_ + ": cannot put the new file in place (Windows error " +
                             std::to_string(reason) + ")");
  }
  temporary_.clear();
}

void OutputFile::Abandon() {
  if (fd_ >= 0) _close(fd_);
  fd_ = -1;
  if (!temporary_.empty()) _unlink(temporary_.c_str());
  temporary_.clear();
}

}  // namespace vorlith::platform
