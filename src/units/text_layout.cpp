#include "units/text_layout.h"

#include <unordered_map>

#include "platform/codepage/codepage.h"
#include "platform/gdi/dc.h"

namespace lumetra {

namespace {

bool IsLineEnd(std::string_view text, const TextChar& c) { return text[c.begin] == '\r' || text[c.begin] == '\n'; }
bool IsBlank(std::string_view text, const TextChar& c) { return text[c.begin] == ' '; }

// The character after a line end that ended a row at `end`: a CR LF pair
// (or LF CR, CR CR, LF LF) is one line end, and after it a third CR or LF
// of the other kind is skipped too, so CR CR LF also counts once. A line end
// followed by an ordinary character ends there.
std::size_t AfterLineEnd(std::string_view text, const std::vector<TextChar>& chars, std::size_t end) {
  const char ending = text[chars[end].begin];
  std::size_t next = end + 1;
  if (next >= chars.size() || !IsLineEnd(text, chars[next])) return next;
  ++next;
  if (next < chars.size() && IsLineEnd(text, chars[next]) && text[chars[next].begin] != ending) ++next;
  return next;
}

}  // namespace

std::vector<TextChar> MeasureChars(const CDC& dc, std::string_view text) {
  std::vector<TextChar> chars;
  chars.reserve(text.size());
  // Each distinct character is measured and decoded once.
  struct Measured {
    std::int32_t advance;
    bool ideograph;
  };
  std::unordered_map<std::string_view, Measured> seen;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = std::max<std::size_t>(1, CharacterBytes(dc.GetCodePage(), text.substr(i)));
    const std::string_view bytes = text.substr(i, length);
    auto found = seen.find(bytes);
    if (found == seen.end()) {
      const std::u32string decoded = length == 1 ? std::u32string() : DecodeText(bytes, dc.GetCodePage());
      const bool ideograph = decoded.size() == 1 && decoded[0] >= 0x2E80 && decoded[0] != 0xFFFD;
      found = seen.emplace(bytes, Measured{dc.GetTextExtent(bytes).cx, ideograph}).first;
    }
    chars.push_back({std::uint32_t(i), std::uint32_t(i + length), found->second.advance, found->second.ideograph});
    i += length;
  }
  return chars;
}

std::optional<TextRow> NextCharWrappedRow(std::string_view text, const std::vector<TextChar>& chars,
                                          std::size_t start, std::int64_t width) {
  if (start >= chars.size()) return std::nullopt;
  std::int64_t used = 0;
  for (std::size_t i = start; i < chars.size(); ++i) {
    if (IsLineEnd(text, chars[i])) return TextRow{start, i, AfterLineEnd(text, chars, i)};
    used += chars[i].advance;
    if (used >= width) {
      // A character that alone is as wide as the row still takes a row of its own.
      const std::size_t last = i == start ? i + 1 : i;
      return TextRow{start, last, last};
    }
  }
  return TextRow{start, chars.size(), chars.size()};
}

std::optional<TextRow> NextWordWrappedRow(std::string_view text, const std::vector<TextChar>& chars,
                                          std::size_t start, std::int64_t width) {
  if (start >= chars.size()) return std::nullopt;
  const std::int64_t room = width - kWordWrapMargins;
  std::int64_t used = 0;
  // Where the row may break: after the last blank, or before or after an
  // ideograph (Chinese has no blanks between its words).
  std::optional<std::size_t> breakAt;
  for (std::size_t i = start; i < chars.size(); ++i) {
    const TextChar& c = chars[i];
    if (IsLineEnd(text, c)) return TextRow{start, i, AfterLineEnd(text, chars, i)};
    if (c.ideograph && i > start) breakAt = i;
    used += c.advance;
    if (IsBlank(text, c)) {
      breakAt = i + 1;
      continue;
    }
    if (used > room) {
      if (breakAt) return TextRow{start, *breakAt, *breakAt};
      const std::size_t last = i == start ? i + 1 : i;
      return TextRow{start, last, last};
    }
    if (c.ideograph) breakAt = i + 1;
  }
  return TextRow{start, chars.size(), chars.size()};
}

std::int64_t RowTop(std::int64_t h, std::int64_t band, std::int64_t n, std::int64_t spacing, bool autoAlign) {
  if (!autoAlign) return (h + spacing) * n;
  if (h == 0 || band == 0) return 0;
  std::int64_t perBand = band / h;
  if (perBand == 0) perBand = 1;
  const std::int64_t bandStart = (n / perBand) * band;
  const std::int64_t r = n % perBand;
  return r == 0 ? bandStart : bandStart + r * (h + (band - perBand * h) / perBand);
}

}  // namespace lumetra
