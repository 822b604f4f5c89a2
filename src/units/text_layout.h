#pragma once
// How a text unit breaks its text into rows. The text is bytes in the
// document's code page: a byte with the high bit set leads a double-byte
// character, and characters are never split. Rows are ranges of characters;
// line ends (CR, LF) belong to no row.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace lumetra {

class CDC;

// One character: its bytes [begin, end) in the text and its advance in pixels.
struct TextChar {
  std::uint32_t begin;
  std::uint32_t end;
  std::int32_t advance;
  bool ideograph = false;  // Chinese and the like (U+2E80 on): rows may break before and after it
};

// The characters of `text` with their advances in the DC's current font.
std::vector<TextChar> MeasureChars(const CDC& dc, std::string_view text);

// A row: characters [first, last) of the measured text; the next row starts at character `next`.
struct TextRow {
  std::size_t first;
  std::size_t last;
  std::size_t next;
};

// The row starting at character `start` when rows break at any character:
// a row must stay strictly narrower than `width`, and ends before a CR or LF.
std::optional<TextRow> NextCharWrappedRow(std::string_view text, const std::vector<TextChar>& chars,
                                          std::size_t start, std::int64_t width);

// Word-wrapped rows break like a multi-line, word-wrapping edit box of the
// rectangle's width: its inner margins leave this much less room for text.
inline constexpr std::int32_t kWordWrapMargins = 4;

// The row starting at character `start` when rows break at words: at the
// blanks before a word that would not fit in width - kWordWrapMargins
// (blanks may hang past the edge), before or after an ideograph (never
// inside a character), inside a word wider than that, and before a CR or LF.
std::optional<TextRow> NextWordWrappedRow(std::string_view text, const std::vector<TextChar>& chars,
                                          std::size_t start, std::int64_t width);

// The offset of row n below the rectangle's top for a font h pixels high:
// a fixed pitch of h + spacing, or with auto align the rows spread evenly
// over bands `band` pixels high, each band starting at a multiple of it.
std::int64_t RowTop(std::int64_t h, std::int64_t band, std::int64_t n, std::int64_t spacing, bool autoAlign);

}  // namespace lumetra
