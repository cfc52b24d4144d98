#include <unistd.h>

#include <cerrno>

#include "debug_channel.h"

namespace vorlith {

void SendToDebugChannel(const char* text, std::size_t length) {
  // One write carries the whole line; the loop only finishes a write that a
  // signal or a full device cut short, and the channel reports nothing back.
  // The loop is the plugin's own although the host has one like it: the
  // plugin links nothing of the host's layers, only the analysis and the
  // language's runtime.
  while (length > 0) {
    const ssize_t written = write(STDERR_FILENO, text, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    text += written;
    length -= static_cast<std::size_t>(written);
  }
}

}  // namespace vorlith
