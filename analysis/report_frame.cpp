#include <cstdio>

#include "analysis.h"
#include "debug_channel.h"

namespace vorlith {

void ReportFrame(std::int32_t n, std::int32_t count, std::int32_t th) {
  if (count <= th) return;
  // The longest line, "\r-4 frame=-2147483648 --- Blocks=2147483647\n", is 44
  // bytes; the buffer can never cut it short. The remainder takes the sign
  // of n, as C++ division truncates toward zero.
  char line[256];
  const int length =
      std::snprintf(line, sizeof line, "\r%d frame=%d --- Blocks=%d\n", static_cast<int>(n % 5),
                    static_cast<int>(n), static_cast<int>(count));
  SendToDebugChannel(line, static_cast<std::size_t>(length));
}

}  // namespace vorlith
