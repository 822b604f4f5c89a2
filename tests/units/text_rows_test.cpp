// Rows centred and flush right, letter spacing, the characters a box cuts
// off, and both settings through a document's bytes.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "document/document.h"
#include "platform/archive/byte_stream.h"
#include "platform/gdi/dc.h"
#include "units/text.h"

namespace lumetra {
namespace {

constexpr int kCanvasWidth = 128, kCanvasHeight = 48;

std::unique_ptr<CText> Text(const std::string& bytes, CRect box, int alignment = 0, int spacing = 0,
                            const char* face = "Arial") {
  auto text = std::make_unique<CText>();
  LOGFONT lf;
  lf.lfHeight = -16;
  lf.SetFaceName(face);
  text->SetFontIndirect(lf);
  text->m_strText = bytes;
  text->m_ptFirst = box.TopLeft();
  text->m_ptSecond = box.BottomRight();
  text->m_crPen = 0x0000FF;
  text->m_bAutoAlign = 0;
  text->m_nRowSpacing = 0;
  text->m_nReservedA = alignment;
  text->m_nReservedB = spacing;
  return text;
}

Bitmap32 Drawn(const CText& text) {
  Bitmap32 canvas(kCanvasWidth, kCanvasHeight);
  CDC dc(canvas);
  text.Draw(dc, {});
  return canvas;
}

// `image` with columns from `from` on moved right by `dx` (left when negative), black where nothing lands.
Bitmap32 ShiftedFrom(const Bitmap32& image, int from, int dx) {
  Bitmap32 out(image.Width(), image.Height());
  for (int y = 0; y < image.Height(); ++y) {
    for (int x = 0; x < image.Width(); ++x) {
      const int to = x < from ? x : x + dx;
      if (image.At(x, y) != 0 && to >= 0 && to < image.Width()) out.At(to, y) = image.At(x, y);
    }
  }
  return out;
}

int TextWidth(const CText& text) {
  Bitmap32 nowhere;
  CDC dc(nowhere);
  dc.SelectObject(const_cast<CFont*>(&text.Font()));
  return dc.GetTextExtent(text.m_strText).cx;
}

TEST(TextRows, CentredAndRightRowsAreTheLeftRowMovedByTheFreeRoom) {
  const CRect box{4, 8, 110, 40};
  const std::unique_ptr<CText> left = Text("OPEN 24H", box);
  const int free = box.Width() - TextWidth(*left);
  ASSERT_GT(free, 4) << TextWidth(*left);
  const Bitmap32 flush = Drawn(*left);
  EXPECT_EQ(Drawn(*Text("OPEN 24H", box, CText::kAlignCentre)).Pixels(), ShiftedFrom(flush, 0, free / 2).Pixels());
  EXPECT_EQ(Drawn(*Text("OPEN 24H", box, CText::kAlignRight)).Pixels(), ShiftedFrom(flush, 0, free).Pixels());
  // Trailing blanks do not count; any other stored value is left.
  EXPECT_EQ(Drawn(*Text("OPEN 24H   ", box, CText::kAlignRight)).Pixels(), ShiftedFrom(flush, 0, free).Pixels());
  EXPECT_EQ(Drawn(*Text("OPEN 24H", box, 21)).Pixels(), flush.Pixels());
}

TEST(TextRows, LetterSpacingMovesEachNextCharacterBySpacingLeds) {
  const CRect box{0, 0, kCanvasWidth, 24};
  const Bitmap32 plain = Drawn(*Text("HH", box));
  // The split runs through the gap between the two letters.
  int lastInkOfFirst = 0;
  for (int x = 0; x < kCanvasWidth && lastInkOfFirst == 0; ++x) {
    bool lit = false;
    for (int y = 0; y < 24; ++y) lit |= plain.At(x, y) != 0;
    if (!lit && x > 2) lastInkOfFirst = x;
  }
  ASSERT_GT(lastInkOfFirst, 0);
  for (const int spacing : {-1, 3, 16}) {
    EXPECT_EQ(Drawn(*Text("HH", box, 0, spacing)).Pixels(), ShiftedFrom(plain, lastInkOfFirst, spacing).Pixels())
        << spacing;
  }
  // Stored spacing is held to -2..16.
  EXPECT_EQ(Drawn(*Text("HH", box, 0, 40)).Pixels(), Drawn(*Text("HH", box, 0, 16)).Pixels());
}

TEST(TextRows, TheCharactersABoxCutsOffAreCounted) {
  // A fixed-pitch face, so that boxes can be measured in characters.
  const std::unique_ptr<CText> probe = Text("A", {}, 0, 0, "Courier New");
  const int advance = TextWidth(*probe);
  Bitmap32 nowhere;
  CDC dc(nowhere);
  dc.SelectObject(const_cast<CFont*>(&probe->Font()));
  TEXTMETRIC tm;
  dc.GetTextMetrics(tm);
  const int row = tm.tmHeight;
  struct Case {
    const char* name;
    int widthInChars;  // rows hold one character fewer than this (they stay narrower than the box)
    int rows;
    int alignment;
    int spacing;
    int clipped;
  };
  const Case cases[] = {
      {"everything fits", 9, 1, 0, 0, 0},
      {"two rows of three below the first", 4, 1, 0, 0, 5},
      {"two of three rows shown", 4, 2, 0, 0, 2},
      {"spacing makes rows of two", 4, 1, 0, 3, 6},
      {"right-aligned, all shown", 4, 3, CText::kAlignRight, 0, 0},
  };
  for (const Case& c : cases) {
    const CRect box{0, 0, c.widthInChars * advance - advance + 1, c.rows * row};
    const std::unique_ptr<CText> text = Text("ABCDEFGH", box, c.alignment, c.spacing, "Courier New");
    EXPECT_EQ(text->ClippedCharacters(), c.clipped) << c.name;
  }
  // A box narrower than one character: each row is that character, cut on both sides when centred.
  const std::unique_ptr<CText> narrow = Text("AB", {0, 0, advance / 2, 2 * row}, CText::kAlignCentre, 0, "Courier New");
  EXPECT_EQ(narrow->ClippedCharacters(), 2);
  EXPECT_EQ(Text("A B\r\n\r\n", {0, 0, 0, 0})->ClippedCharacters(), 2);  // blanks and line ends are no characters
}

TEST(TextRows, AlignmentAndSpacingSurviveTheDocumentsBytes) {
  CTessaraDoc doc;
  doc.m_units.push_back(Text("营业中 OPEN", {2, 1, 120, 15}, CText::kAlignCentre, 3));
  const std::vector<std::uint8_t> bytes = doc.SaveToBytes();
  CTessaraDoc read;
  read.LoadFromBytes(bytes);
  ASSERT_EQ(read.m_units.size(), 1u);
  const auto& text = dynamic_cast<const CText&>(*read.m_units[0]);
  EXPECT_EQ(text.Alignment(), CText::kAlignCentre);
  EXPECT_EQ(text.LetterSpacing(), 3);
  EXPECT_EQ(Drawn(text).Pixels(), Drawn(dynamic_cast<const CText&>(*doc.m_units[0])).Pixels());
}

}  // namespace
}  // namespace lumetra
