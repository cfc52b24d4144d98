// Text made safe for the files framehost writes: file names and other
// strings can hold any bytes, and JSON and XML each take only valid UTF-8
// and escape a few characters of their own.
#pragma once

#include <string>
#include <string_view>

namespace vorlith::runner {

// `text` with every byte that does not belong to a UTF-8 sequence (overlong
// forms, surrogates and values past U+10FFFF among them) replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

// `text` as a JSON string, quotes included.
std::string JsonString(std::string_view text);

// `text` for XML character data or an attribute value. XML cannot carry the
// control characters other than tab, line feed and carriage return at all,
// so they become U+FFFD as well.
std::string XmlText(std::string_view text);

}  // namespace vorlith::runner
