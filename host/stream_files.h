// Opening the files that clips are read from and written to, as
// descriptors for the video file layer: in binary mode, and not inherited
// by programs that this one starts.
#pragma once

#include <string>

namespace vorlith::host {

// Each returns the descriptor, or -1 with errno set (LastSystemError tells
// why, see system_error_text.h).
int OpenStreamForReading(const std::string& path);
// Creates the file, or empties the one that exists.
int CreateStreamForWriting(const std::string& path);

// Whether `path` names the file that is open on `fd`; false when it names
// no file or either of them cannot be examined.
bool IsSameFile(const std::string& path, int fd);

}  // namespace vorlith::host
