// The operating system's debugger output channel, where report lines go.
#pragma once

#include <cstddef>

namespace vorlith {

// Hands `text` (zero-terminated, `length` bytes before the zero) to the
// channel in one piece, so that lines never interleave with other output.
// On Windows that is OutputDebugStringA; elsewhere, where no such channel
// exists, the exact bytes go to standard error in a single write.
void SendToDebugChannel(const char* text, std::size_t length);

}  // namespace vorlith
