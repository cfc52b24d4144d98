#include <windows.h>

#include "debug_channel.h"

namespace vorlith {

// OutputDebugStringA takes the zero-terminated text whole, so `length` is
// not needed; the debugger or debug-output viewer receives it as one string.
void SendToDebugChannel(const char* text, std::size_t /*length*/) { OutputDebugStringA(text); }

}  // namespace vorlith
