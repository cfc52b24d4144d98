#include "y4m_text.h"

#include <cstddef>
#include <cstdio>

namespace vorlith::media {

bool CanBeginLineWith(std::string_view text, std::string_view word) {
  const std::size_t compared = text.size() < word.size() ? text.size() : word.size();
  if (text.substr(0, compared) != word.substr(0, compared)) return false;
  return text.size() <= word.size() || text[word.size()] == ' ';
}

std::string QuoteForMessage(std::string_view text) {
  // Enough to recognise a tag; a whole line of junk would only drown the message.
  constexpr std::size_t kMaxQuoted = 40;
  std::string quoted = "'";
  for (std::size_t i = 0; i < text.size() && i < kMaxQuoted; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x20 && byte < 0x7f && byte != '\\') {
      quoted += static_cast<char>(byte);
    } else {
      char escaped[5];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      quoted += escaped;
    }
  }
  if (text.size() > kMaxQuoted) quoted += "...";
  return quoted + "'";
}

}  // namespace vorlith::media
