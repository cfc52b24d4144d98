// Opening the files that clips are read from and written to, as
// descriptors for the video file layer: in binary mode, and not inherited
// by programs that this one starts.
#pragma once

#include <string>

namespace vorlith::platform {

// Each returns the descriptor, or -1 with errno set (LastSystemError tells
// why, see system_error_text.h).
int OpenStreamForReading(const std::string& path);
// Creates the file, or empties the one that exists; the descriptor, or -1
// with errno set. For files that may be left half written; OutputFile keeps
// a user's file whole.
int CreateStreamForWriting(const std::string& path);

// Whether `path` names the file that is open on `fd`, by any name (a
// symbolic or hard link, /dev/stdin); false when it names no file or either
// of them cannot be examined.
bool IsSameFile(const std::string& path, int fd);

// Which of the standard descriptors 0, 1 and 2 were closed.
struct ClosedStandardStreams {
  bool input = false;
  bool output = false;
  bool error = false;
};
// Opens the null device on each standard descriptor that is closed, so that
// no file opened later takes its number: a program's messages written to a
// closed standard error would otherwise land in whatever file came next.
// Call it first, before anything opens a file.
ClosedStandardStreams OpenClosedStandardStreams();

// An output that never leaves a half-written file under its name. A regular
// file (new, or one that exists, reached through symbolic links) is written
// as a temporary file in the same directory, which Commit renames over the
// name once everything is written; until then the file under the name is
// exactly what it was, and a run that fails or is interrupted removes the
// temporary file (the destructor does so unless Commit succeeded). The
// replacement keeps the permissions of the file it replaces. Anything else
// that can be opened for writing (a device such as /dev/null, a named pipe)
// is written in place, since it cannot be renamed over.
class OutputFile {
 public:
  // Throws std::runtime_error with a one-line message beginning with `path`
  // when the output cannot be made (a directory, a dangling symbolic link,
  // a directory that cannot be written).
  explicit OutputFile(const std::string& path);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  int fd() const { return fd_; }
  // The temporary file being written, or empty when writing in place.
  const std::string& temporary_path() const { return temporary_; }

  // Puts the written bytes on the disk and the file under its name. Throws
  // std::runtime_error, naming the path, when that fails; the temporary
  // file is then removed and the name keeps what it had.
  void Commit();

 private:
  // Closes the descriptor and removes the temporary file, if any.
  void Abandon();

  std::string path_;       // as given, for messages
  std::string target_;     // the file the name leads to
  std::string temporary_;  // empty when writing in place
  int fd_ = -1;
};

}  // namespace vorlith::platform
