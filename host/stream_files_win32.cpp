#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include "stream_files.h"

namespace vorlith::host {

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

}  // namespace vorlith::host
