// The one error type of the video file layer: bad or cut-short input, and
// input or output that the operating system refused.
#pragma once

#include <stdexcept>
#include <string_view>

namespace vorlith::media {

class Y4mError : public std::runtime_error {
 public:
  // The message is one line, "<source>: <problem>", where `source` names the
  // input or output (a file path, "stdin" or "stdout").
  Y4mError(std::string_view source, std::string_view problem);
};

}  // namespace vorlith::media
