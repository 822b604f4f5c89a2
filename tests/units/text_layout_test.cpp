// Row breaking and row placement of the text unit, with made-up advances so
// that every break position is known.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "units/text_layout.h"

namespace lumetra {
namespace {

// Every character 10 pixels wide; a byte with the high bit set leads a two-byte character, an ideograph.
std::vector<TextChar> TenPixelChars(std::string_view text) {
  std::vector<TextChar> chars;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = (static_cast<unsigned char>(text[i]) & 0x80) && i + 1 < text.size() ? 2 : 1;
    chars.push_back({std::uint32_t(i), std::uint32_t(i + length), 10, length == 2});
    i += length;
  }
  return chars;
}

// The rows as byte strings.
std::vector<std::string> Rows(std::string_view text, std::int64_t width, bool byWords) {
  std::vector<TextChar> chars = TenPixelChars(text);
  std::vector<std::string> rows;
  std::size_t start = 0;
  while (auto row = byWords ? NextWordWrappedRow(text, chars, start, width)
                            : NextCharWrappedRow(text, chars, start, width)) {
    std::size_t begin = row->last > row->first ? chars[row->first].begin : 0;
    std::size_t end = row->last > row->first ? chars[row->last - 1].end : 0;
    rows.emplace_back(text.substr(begin, end - begin));
    start = row->next;
  }
  return rows;
}

using Strings = std::vector<std::string>;

TEST(CharWrappedRows, ARowMustStayStrictlyNarrowerThanTheRectangle) {
  EXPECT_EQ(Rows("abcdef", 30, false), (Strings{"ab", "cd", "ef"}));
  EXPECT_EQ(Rows("abcdef", 31, false), (Strings{"abc", "def"}));
  // A character as wide as the rectangle still takes a row, so the layout advances.
  EXPECT_EQ(Rows("abc", 5, false), (Strings{"a", "b", "c"}));
  EXPECT_EQ(Rows("one two", 45, false), (Strings{"one ", "two"}));  // no regard for words
}

TEST(CharWrappedRows, LineEndsAndEmptyRows) {
  EXPECT_EQ(Rows("A\r\n\r\nB", 100, false), (Strings{"A", "", "B"}));
  EXPECT_EQ(Rows("A\r\r\nB", 100, false), (Strings{"A", "B"}));  // CR CR LF is one line end
  EXPECT_EQ(Rows("A\r\nB\r\n", 100, false), (Strings{"A", "B"}));
  EXPECT_EQ(Rows("\r\nA", 100, false), (Strings{"", "A"}));
  // A lone line end does not swallow the character after it.
  EXPECT_EQ(Rows("A\nB", 100, false), (Strings{"A", "B"}));
}

TEST(CharWrappedRows, DoubleByteCharactersAreNeverSplit) {
  const std::string text = "a\xD6\xD0\xCE\xC4";  // "a" and two GBK characters
  EXPECT_EQ(Rows(text, 25, false), (Strings{"a\xD6\xD0", "\xCE\xC4"}));
  EXPECT_EQ(Rows(text, 15, false), (Strings{"a", "\xD6\xD0", "\xCE\xC4"}));
  EXPECT_EQ(Rows("ab\xD6", 100, false), (Strings{"ab\xD6"}));  // a lead byte without its pair stays one character
}

TEST(WordWrappedRows, BreakAtTheBlankBeforeAWordThatDoesNotFit) {
  // Width 70 leaves 66 pixels: "hello" and its blank (60) fit, "hello w" (70) does not.
  EXPECT_EQ(Rows("hello world", 70, true), (Strings{"hello ", "world"}));
  // Blanks hang past the edge instead of starting a row.
  EXPECT_EQ(Rows("hello      world", 70, true), (Strings{"hello      ", "world"}));
  // A row that fits the room exactly stays whole.
  EXPECT_EQ(Rows("abcdef", 64, true), (Strings{"abcdef"}));
  EXPECT_EQ(Rows("abcdef", 63, true), (Strings{"abcde", "f"}));
}

TEST(WordWrappedRows, AWordWiderThanTheBoxBreaksInside) {
  EXPECT_EQ(Rows("go extraordinary", 54, true), (Strings{"go ", "extra", "ordin", "ary"}));
  EXPECT_EQ(Rows("a\r\n\r\nb", 54, true), (Strings{"a", "", "b"}));
  EXPECT_EQ(Rows("xyz", 2, true), (Strings{"x", "y", "z"}));
}

// Chinese has no blanks: a row may end before or after any double-byte
// character, never inside one, and blanks still hang past the edge.
TEST(WordWrappedRows, ChineseBreaksAtEveryCharacter) {
  const std::string zhong = "\xD6\xD0", wen = "\xCE\xC4", zi = "\xD7\xD6";  // 中 文 字 in GBK
  struct Case {
    std::string text;
    std::int64_t width;
    Strings rows;
  };
  const Case cases[] = {
      {"Sale " + zhong + wen + zi, 64, {"Sale " + zhong, wen + zi}},
      {zhong + wen + zi, 24, {zhong + wen, zi}},
      {"ab" + zhong + "cd", 34, {"ab" + zhong, "cd"}},
      {"hello " + zhong + wen, 64, {"hello ", zhong + wen}},
      {zhong + "abcdef", 44, {zhong, "abcd", "ef"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Rows(c.text, c.width, true), c.rows) << c.text;
}

TEST(RowTop, FixedPitchAndBands) {
  EXPECT_EQ(RowTop(12, 32, 3, 1, false), 39);
  EXPECT_EQ(RowTop(12, 32, 1, -100, false), -88);  // rows move upwards
  std::vector<std::int64_t> tops;
  for (int n = 0; n < 6; ++n) tops.push_back(RowTop(12, 32, n, 99, true));
  EXPECT_EQ(tops, (std::vector<std::int64_t>{0, 16, 32, 48, 64, 80}));
  tops.clear();
  for (int n = 0; n < 3; ++n) tops.push_back(RowTop(20, 16, n, 0, true));
  EXPECT_EQ(tops, (std::vector<std::int64_t>{0, 16, 32}));  // one row per band; rows overlap
  EXPECT_EQ(RowTop(5, 18, 4, 0, true), 24);                 // three rows per band, 1 spare pixel below each
  EXPECT_EQ(RowTop(5, 18, 2, 0, true), 12);
  EXPECT_EQ(RowTop(0, 16, 4, 0, true), 0);
  EXPECT_EQ(RowTop(12, 0, 4, 0, true), 0);
}

}  // namespace
}  // namespace lumetra
