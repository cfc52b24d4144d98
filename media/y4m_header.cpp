#include "y4m_header.h"

#include <array>
#include <climits>
#include <string>
#include <utility>

#include "y4m_error.h"
#include "y4m_text.h"

namespace vorlith::media {
namespace {

// Every spelling of 4:2:0 in use; they differ only in where the chroma
// samples sit, which does not change the bytes of a frame.
// The tags this reader interprets, each at most once (X may repeat); any
// other is carried through unread.
constexpr std::string_view kKnownTags = "WHFAIC";

constexpr std::array<std::string_view, 4> k420ColourSpaces = {"420jpeg", "420mpeg2", "420paldv",
                                                              "420"};

// The value of a plain decimal number, digits only: no sign, no space. A
// value past `limit` comes back as limit + 1 however long the number is, so
// nothing overflows; an empty text or any other character gives nullopt.
std::optional<std::int64_t> ParseDecimal(std::string_view text, std::int64_t limit) {
  if (text.empty()) return std::nullopt;
  std::int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    if (value <= limit) value = value * 10 + (c - '0');
  }
  return value > limit ? limit + 1 : value;
}

class HeaderParser {
 public:
  HeaderParser(std::string_view line, std::string_view source) : source_(source) {
    header_.line = line;
  }

  Y4mHeader Parse() {
    std::string_view line = header_.line;
    if (line.size() < kY4mSignature.size() || !CanBeginLineWith(line, kY4mSignature)) {
      Fail(kNotY4mStream);
    }
    // A newline inside would end the line early when it is written back.
    if (line.find('\n') != std::string_view::npos) Fail("the header line holds a newline");
    if (line.back() == '\r') Fail("the header line " + std::string(kEndsInCarriageReturn));
    line.remove_prefix(kY4mSignature.size());
    while (!line.empty()) {
      const std::size_t space = line.find(' ');
      const std::string_view token = line.substr(0, space);
      line.remove_prefix(space == std::string_view::npos ? line.size() : space + 1);
      if (!token.empty()) Take(token);
    }
    if (header_.width == 0) Fail("the header has no width (W tag)");
    if (header_.height == 0) Fail("the header has no height (H tag)");
    if (std::int64_t{header_.width} * header_.height > kMaxY4mLumaSamples) {
      Fail("frame size " + std::to_string(header_.width) + "x" + std::to_string(header_.height) +
           " exceeds the limit of " + std::to_string(kMaxY4mLumaSamples) +
           " luma samples (8192x8192)");
    }
    return std::move(header_);
  }

 private:
  [[noreturn]] void Fail(std::string_view problem) const { throw Y4mError(source_, problem); }

  void Take(std::string_view token) {
    const char tag = token[0];
    const std::string_view value = token.substr(1);
    // A second W, F or C would leave it unclear which one holds.
    if (kKnownTags.find(tag) != std::string_view::npos) {
      if (seen_tags_.find(tag) != std::string::npos) {
        Fail("header tag " + std::string(1, tag) + " appears twice");
      }
      seen_tags_ += tag;
    }
    switch (tag) {
      case 'W':
        header_.width = Side(value, token, "width");
        break;
      case 'H':
        header_.height = Side(value, token, "height");
        break;
      case 'F': {
        // F0:0 is how writers say they do not know the rate.
        const Y4mRatio rate = Ratio(value, token, "frame rate", true);
        if (rate.numerator > 0) header_.frame_rate = rate;
        break;
      }
      case 'A':
        header_.pixel_aspect = Ratio(value, token, "pixel aspect", true);
        break;
      case 'I':
        header_.interlacing = Interlacing(value, token);
        break;
      case 'C':
        header_.colour_space = ColourSpace(value, token);
        break;
      case 'X':
        header_.extensions.emplace_back(value);
        break;
      default:
        // A tag of a later version of the format, or of one writer: it says
        // nothing that this reader needs, and it survives in `line`.
        break;
    }
  }

  std::int32_t Side(std::string_view value, std::string_view token, const std::string& name) {
    const std::optional<std::int64_t> side = ParseDecimal(value, kMaxY4mSide);
    if (!side || *side == 0) {
      Fail("malformed " + name + " " + QuoteForMessage(token) +
           ": expected a positive whole number");
    }
    if (*side > kMaxY4mSide) {
      Fail(name + " " + QuoteForMessage(value) + " exceeds the limit of " +
           std::to_string(kMaxY4mSide));
    }
    return static_cast<std::int32_t>(*side);
  }

  Y4mRatio Ratio(std::string_view value, std::string_view token, const std::string& name,
                 bool unknown_allowed) {
    const std::size_t colon = value.find(':');
    const std::optional<std::int64_t> numerator = ParseDecimal(value.substr(0, colon), INT32_MAX);
    const std::optional<std::int64_t> denominator =
        colon == std::string_view::npos ? std::nullopt
                                        : ParseDecimal(value.substr(colon + 1), INT32_MAX);
    const bool in_range =
        numerator && denominator && *numerator <= INT32_MAX && *denominator <= INT32_MAX;
    const bool valid = in_range && ((*numerator > 0 && *denominator > 0) ||
                                    (unknown_allowed && *numerator == 0 && *denominator == 0));
    if (!valid) {
      Fail("malformed " + name + " " + QuoteForMessage(token) + ": expected " +
           std::string(1, token[0]) + "<n>:<d> with whole numbers from 1 to 2147483647" +
           (unknown_allowed ? ", or 0:0 for unknown" : ""));
    }
    return {static_cast<std::int32_t>(*numerator), static_cast<std::int32_t>(*denominator)};
  }

  Y4mInterlacing Interlacing(std::string_view value, std::string_view token) {
    if (value == "p") return Y4mInterlacing::kProgressive;
    if (value == "t") return Y4mInterlacing::kTopFieldFirst;
    if (value == "b") return Y4mInterlacing::kBottomFieldFirst;
    if (value == "m") return Y4mInterlacing::kMixed;
    // "I?" is how writers say they do not know.
    if (value == "?") return Y4mInterlacing::kUnstated;
    Fail("malformed interlacing " + QuoteForMessage(token) + ": expected Ip, It, Ib, Im or I?");
  }

  std::string ColourSpace(std::string_view value, std::string_view token) {
    for (const std::string_view accepted : k420ColourSpaces) {
      if (value == accepted) return std::string(value);
    }
    const std::string_view convert =
        "convert with: ffmpeg -i INPUT -pix_fmt yuv420p -f yuv4mpegpipe -";
    if (value.substr(0, 4) == "420p") {
      Fail("colour space " + QuoteForMessage(token) + " has " + std::string(value.substr(4)) +
           "-bit samples: 8-bit 4:2:0 is required (" + std::string(convert) + ")");
    }
    Fail("colour space " + QuoteForMessage(token) +
         " is not supported: 8-bit 4:2:0 is required (C420jpeg, C420mpeg2, C420paldv, C420 or no "
         "C tag; " +
         std::string(convert) + ")");
  }

  std::string_view source_;
  Y4mHeader header_;
  std::string seen_tags_;
};

}  // namespace

std::int32_t Y4mHeader::PlaneWidth(int plane) const { return plane == 0 ? width : (width + 1) / 2; }

std::int32_t Y4mHeader::PlaneHeight(int plane) const {
  return plane == 0 ? height : (height + 1) / 2;
}

std::int64_t Y4mHeader::FrameBytes() const {
  return std::int64_t{PlaneWidth(0)} * PlaneHeight(0) +
         2 * std::int64_t{PlaneWidth(1)} * PlaneHeight(1);
}

Y4mHeader ParseY4mHeader(std::string_view line, std::string_view source) {
  return HeaderParser(line, source).Parse();
}

}  // namespace vorlith::media
