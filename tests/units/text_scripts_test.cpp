// Text in Chinese and in other code pages as the panel shows it: the Song and
// Hei faces on 16-LED rows, the configured code page, condensed fonts, and
// the band height of auto align after a document is read again.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "document/document.h"
#include "platform/codepage/codepage.h"
#include "platform/gdi/dc.h"
#include "support/bundled_font.h"
#include "units/text.h"

namespace lumetra {
namespace {

LOGFONT Font(const std::string& face, int height, int width = 0) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWidth = width;
  lf.lfCharSet = 134;
  lf.SetFaceName(face);
  return lf;
}

std::unique_ptr<CText> Text(const std::string& bytes, const LOGFONT& lf, CRect box) {
  auto text = std::make_unique<CText>();
  text->m_strText = bytes;
  text->SetFontIndirect(lf);
  text->m_ptFirst = box.TopLeft();
  text->m_ptSecond = box.BottomRight();
  text->m_crPen = 0x0000FF;
  return text;
}

Bitmap32 Drawn(const CText& text, int width, int height) {
  Bitmap32 canvas(width, height);
  CDC dc(canvas);
  text.Draw(dc, {});
  return canvas;
}

// The rows of `canvas` with a lit LED.
std::vector<int> LitRows(const Bitmap32& canvas) {
  std::vector<int> rows;
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      if (canvas.At(x, y) != 0) {
        rows.push_back(y);
        break;
      }
    }
  }
  return rows;
}

const std::string kChinese = "\xD6\xD0\xCE\xC4\xBA\xBA\xD7\xD6";  // 中文汉字 in GBK

// SimSun and SimHei by any of their names fill a 16-LED row exactly: a
// 16-pixel cell, 14 above the baseline, glyphs inside rows 0-15.
TEST(ChineseText, SongAndHeiFacesFillSixteenLedRows) {
  for (const std::string face : {"SimSun", "NSimSun", "SimHei", "\xCB\xCE\xCC\xE5", "\xBA\xDA\xCC\xE5"}) {
    Bitmap32 nowhere;
    CDC dc(nowhere);
    CFont font(Font(face, -16));
    dc.SelectObject(&font);
    TEXTMETRIC tm;
    dc.GetTextMetrics(tm);
    EXPECT_EQ(tm.tmHeight, 16) << face;
    EXPECT_EQ(tm.tmAscent, 14) << face;
    const std::vector<int> rows = LitRows(Drawn(*Text(kChinese, Font(face, -16), {0, 0, 80, 20}), 80, 20));
    ASSERT_FALSE(rows.empty()) << face;
    EXPECT_GE(rows.front(), 0) << face;
    EXPECT_LE(rows.back(), 15) << face;
    // Latin descenders reach below the cell rather than being cut off.
    EXPECT_FALSE(LitRows(Drawn(*Text("_", Font(face, -16), {0, 0, 80, 20}), 80, 20)).empty()) << face;
  }
}

// Auto align on a 2-word-high panel puts two 16-pixel rows in each frame.
TEST(ChineseText, TwoRowsFitA32LedFrame) {
  std::unique_ptr<CText> text = Text(kChinese + "\r\n" + kChinese, Font("SimSun", -16), {0, 0, 80, 32});
  text->m_nBandHeight = 32;
  const std::vector<int> rows = LitRows(Drawn(*text, 80, 40));
  ASSERT_FALSE(rows.empty());
  EXPECT_LT(rows.front(), 16);
  EXPECT_GE(rows.back(), 16);
  EXPECT_LT(rows.back(), 32);
}

// The same characters draw the same LEDs whatever code page holds them: every
// device context draws in the program's code page, and rows break by its
// characters (CP1252 has no lead bytes; GBK's "é" is two bytes).
TEST(CodePages, TextDrawsByTheConfiguredCodePage) {
  ASSERT_TRUE(test::UseBundledFont());
  const LOGFONT arial = Font("Arial", -16);
  struct Case {
    std::string gbk, cp1252;
    CRect box;
  };
  const Case cases[] = {
      {"Caf\xA8\xA6 no\xA8\xA6l", "Caf\xE9 no\xE9l", {0, 0, 120, 20}},
      {"\xA8\xA6\xA8\xA6\xA8\xA6\xA8\xA6", "\xE9\xE9\xE9\xE9", {0, 0, 12, 80}},  // one "é" a row
  };
  for (const Case& c : cases) {
    const Bitmap32 gbk = Drawn(*Text(c.gbk, arial, c.box), 120, 80);
    SetTextCodePage("CP1252");
    Bitmap32 cp1252(120, 80);
    {
      CDC dc(cp1252);
      Text(c.cp1252, arial, c.box)->Draw(dc, {});
    }
    SetTextCodePage(std::string(kDefaultCodePage));
    EXPECT_EQ(cp1252.Pixels(), gbk.Pixels()) << c.cp1252;
    EXPECT_NE(Drawn(*Text(c.cp1252, arial, c.box), 120, 80).Pixels(), gbk.Pixels()) << c.cp1252;
  }
}

// A width condenses or widens the glyphs, measured against the Windows
// face's own average width: that width, or 0, keeps the face as it is.
TEST(FontWidth, CondensedAndWidenedFonts) {
  ASSERT_TRUE(test::UseBundledFont());
  const auto extent = [](const std::string& face, int width, std::string_view text) {
    Bitmap32 nowhere;
    CDC dc(nowhere);
    CFont font(Font(face, -16, width));
    dc.SelectObject(&font);
    return dc.GetTextExtent(text).cx;
  };
  const std::string hello = "Hello, panel";
  EXPECT_LT(extent("Arial", 4, hello), extent("Arial", 0, hello));
  EXPECT_GT(extent("Arial", 12, hello), extent("Arial", 0, hello));
  EXPECT_EQ(extent("Arial", 7, hello), extent("Arial", 0, hello));
  EXPECT_EQ(extent("SimSun", 8, kChinese), extent("SimSun", 0, kChinese));
  // Latin in a Song face is half a cell wide, as the Windows face's is.
  EXPECT_EQ(extent("SimSun", 0, hello), 8 * int(hello.size()));
}

// A document read again lays its text out in bands of its own frame height,
// exactly as it was drawn before it was saved (rows 0, 10, 20, then 32).
TEST(BandHeight, AReadDocumentLaysTextOutInItsFrames) {
  ASSERT_TRUE(test::UseBundledFont());
  CTessaraDoc doc;
  doc.m_nWidthWords = 8;
  doc.m_nHeightWords = 2;
  doc.m_nFrames = 2;
  doc.m_units.push_back(Text("one\r\ntwo\r\nsix\r\nten", Font("Arial", -9), {0, 0, 100, 64}));
  doc.FitTextsToFrames();
  const auto drawn = [](const CTessaraDoc& d) { return Drawn(static_cast<const CText&>(*d.m_units[0]), 128, 64); };
  const Bitmap32 before = drawn(doc);
  CTessaraDoc read;
  read.LoadFromBytes(doc.SaveToBytes());
  EXPECT_EQ(drawn(read).Pixels(), before.Pixels());
  const std::vector<int> rows = LitRows(before);
  EXPECT_TRUE(std::find_if(rows.begin(), rows.end(), [](int y) { return y >= 20 && y < 30; }) != rows.end());
}

}  // namespace
}  // namespace lumetra
