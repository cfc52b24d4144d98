// Text shared by the header parser and the reader: the words that begin
// lines and the quoting of input bytes in one-line messages.
#pragma once

#include <string>
#include <string_view>

namespace vorlith::media {

// The words that begin the header line and every frame.
inline constexpr std::string_view kY4mSignature = "YUV4MPEG2";
inline constexpr std::string_view kFrameWord = "FRAME";

inline constexpr std::string_view kNotY4mStream =
    "not a YUV4MPEG2 stream (it does not begin with \"YUV4MPEG2 \")";

// The fault of a line written with a Windows line end, after the line's name.
inline constexpr std::string_view kEndsInCarriageReturn =
    "ends in a carriage return (Windows line ends?): YUV4MPEG2 lines end in a line feed alone";

// Whether `text`, a whole line or only its first bytes, can be a line that
// begins with `word` followed by a space or the line's end.
bool CanBeginLineWith(std::string_view text, std::string_view word);

// `text` made safe to quote in a one-line message: bytes other than
// printable ASCII become \xNN, and a long text is cut short with "...".
std::string QuoteForMessage(std::string_view text);

}  // namespace vorlith::media
