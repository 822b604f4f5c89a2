#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/gdi/dc.h"
#include "platform/gdi/font_cache.h"

namespace lumetra {
namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kYellow = 0x00FFFF;
constexpr COLORREF kGrey = 0x808080;

CFont Font(int height, std::string_view face, int weight = 400, bool italic = false, bool underline = false,
           bool strikeOut = false) {
  LOGFONT lf;
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfItalic = italic;
  lf.lfUnderline = underline;
  lf.lfStrikeOut = strikeOut;
  lf.lfQuality = 3;  // NONANTIALIASED_QUALITY
  lf.SetFaceName(face);
  return CFont(lf);
}

// The bitmap as lines of '#' (pixels of colour `ink`) and '.'.
std::string Ascii(const Bitmap32& bmp, COLORREF ink) {
  std::string out;
  for (int y = 0; y < bmp.Height(); ++y) {
    for (int x = 0; x < bmp.Width(); ++x) out += bmp.At(x, y) == PixelFromColor(ink) ? '#' : '.';
    out += '\n';
  }
  return out;
}

// Bounding box of the pixels of one colour; empty when there are none.
CRect Bounds(const Bitmap32& bmp, COLORREF c) {
  CRect r{bmp.Width(), bmp.Height(), 0, 0};
  for (int y = 0; y < bmp.Height(); ++y) {
    for (int x = 0; x < bmp.Width(); ++x) {
      if (bmp.At(x, y) != PixelFromColor(c)) continue;
      r = {std::min(r.left, x), std::min(r.top, y), std::max(r.right, x + 1), std::max(r.bottom, y + 1)};
    }
  }
  return r.left < r.right ? r : CRect{};
}

int Count(const Bitmap32& bmp, COLORREF c, const CRect& area) {
  int n = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) n += bmp.At(x, y) == PixelFromColor(c);
  return n;
}

TEXTMETRIC Metrics(const CFont& font) {
  Bitmap32 bmp(1, 1);
  CDC dc(bmp);
  dc.SelectObject(const_cast<CFont*>(&font));
  TEXTMETRIC tm;
  dc.GetTextMetrics(tm);
  return tm;
}

CSize Extent(const CFont& font, std::u32string_view text) {
  Bitmap32 bmp(1, 1);
  CDC dc(bmp);
  dc.SelectObject(const_cast<CFont*>(&font));
  return dc.GetTextExtent(text);
}

// ---------------------------------------------------------------------------
// Metrics and extents. The expected numbers were printed by the reference
// GDI (metrics / extent queries, non-antialiased fonts, with the same
// Liberation and WenQuanYi fonts this machine has).

struct MetricsCase {
  int height;
  const char* face;
  int weight;
  TEXTMETRIC expected;
};

TEST(TextMetrics, MatchTheReference) {
  const MetricsCase cases[] = {
      {-13, "Arial", 400, {15, 12, 3, 2, 0, 8, 24}},
      {-12, "Arial", 400, {14, 11, 3, 1, 0, 7, 22}},
      {-16, "Arial", 400, {17, 14, 3, 2, 1, 9, 30}},
      {-24, "Arial", 700, {27, 22, 5, 3, 1, 15, 43}},
      {16, "Arial", 400, {16, 13, 3, 2, 0, 8, 26}},
      {0, "Arial", 400, {16, 13, 3, 2, 0, 8, 26}},
      // Positive heights take the largest em whose exact cell is under half a pixel taller.
      {13, "Arial", 400, {14, 11, 3, 1, 0, 7, 22}},
      {14, "Arial", 400, {14, 11, 3, 1, 0, 7, 22}},
      {71, "Arial", 400, {70, 57, 13, 7, 2, 37, 116}},
      {-13, "Times New Roman", 400, {15, 12, 3, 1, 1, 7, 24}},
      {-13, "Courier New", 400, {15, 11, 4, 2, 0, 8, 16}},
      {-16, "WenQuanYi Zen Hei", 400, {20, 15, 5, 4, 1, 7, 19}},
      // Synthetic bold: one pixel wider on average and at most.
      {-16, "WenQuanYi Zen Hei", 700, {20, 15, 5, 4, 1, 8, 20}},
  };
  for (const MetricsCase& c : cases) {
    TEXTMETRIC tm = Metrics(Font(c.height, c.face, c.weight));
    const TEXTMETRIC& e = c.expected;
    SCOPED_TRACE(std::string(c.face) + " " + std::to_string(c.height) + " weight " + std::to_string(c.weight));
    EXPECT_EQ(tm.tmHeight, e.tmHeight);
    EXPECT_EQ(tm.tmAscent, e.tmAscent);
    EXPECT_EQ(tm.tmDescent, e.tmDescent);
    EXPECT_EQ(tm.tmInternalLeading, e.tmInternalLeading);
    EXPECT_EQ(tm.tmExternalLeading, e.tmExternalLeading);
    EXPECT_EQ(tm.tmAveCharWidth, e.tmAveCharWidth);
    EXPECT_EQ(tm.tmMaxCharWidth, e.tmMaxCharWidth);
  }
}

TEST(TextMetrics, StockFontsHaveTheSystemFontMetrics) {
  TEXTMETRIC system = Metrics(StockSystemFont());
  EXPECT_EQ((std::vector<int>{system.tmHeight, system.tmAscent, system.tmDescent, system.tmInternalLeading,
                              system.tmExternalLeading, system.tmAveCharWidth, system.tmMaxCharWidth}),
            (std::vector<int>{16, 13, 3, 3, 0, 7, 15}));
  TEXTMETRIC fixed = Metrics(StockSystemFixedFont());
  EXPECT_EQ((std::vector<int>{fixed.tmHeight, fixed.tmAscent, fixed.tmDescent, fixed.tmInternalLeading,
                              fixed.tmExternalLeading, fixed.tmAveCharWidth, fixed.tmMaxCharWidth}),
            (std::vector<int>{15, 12, 3, 3, 0, 8, 8}));
  // A fixed cell of 8, two cells for a full-width character.
  EXPECT_EQ(Extent(StockSystemFixedFont(), U"Hello").cx, 40);
  EXPECT_EQ(Extent(StockSystemFixedFont(), U"iW\u4E2D").cx, 32);
}

TEST(TextExtent, MatchesTheReference) {
  const std::u32string hello = U"Hello, World!";
  EXPECT_EQ(Extent(Font(-13, "Arial"), hello), (CSize{74, 15}));
  EXPECT_EQ(Extent(Font(-12, "Arial"), hello), (CSize{70, 14}));
  // Extents count the rounded design advances, not the bilevel hinted ones (89 here).
  EXPECT_EQ(Extent(Font(-16, "Arial"), hello), (CSize{92, 17}));
  EXPECT_EQ(Extent(Font(16, "Arial"), hello), (CSize{81, 16}));
  EXPECT_EQ(Extent(Font(-24, "Arial", 700), hello), (CSize{150, 27}));
  EXPECT_EQ(Extent(Font(-13, "Times New Roman"), hello), (CSize{74, 15}));
  EXPECT_EQ(Extent(Font(-13, "Courier New"), hello), (CSize{104, 15}));
  EXPECT_EQ(Extent(Font(-16, "WenQuanYi Zen Hei"), U"\u4E2D\u6587"), (CSize{32, 20}));
  EXPECT_EQ(Extent(Font(-16, "WenQuanYi Zen Hei", 700), U"\u4E2D\u6587"), (CSize{34, 20}));
  EXPECT_EQ(Extent(Font(-13, "Arial"), U""), (CSize{0, 0}));
}

TEST(FontMapping, WindowsFacesResolveToTheirStandIns) {
  auto family = [](std::string_view face) { return RealizeFont(Font(-13, face).GetLogFont()).FamilyName(); };
  EXPECT_EQ(family("Arial"), "Liberation Sans");
  EXPECT_EQ(family("arial"), "Liberation Sans");
  EXPECT_EQ(family("Times New Roman"), "Liberation Serif");
  EXPECT_EQ(family("Courier New"), "Liberation Mono");
  EXPECT_EQ(family("No Such Face At All"), "Liberation Sans");
  // Chinese faces, named in UTF-8 or in the document's GBK bytes, get a face that has the characters.
  for (std::string_view face : {"SimSun", "\xE5\xAE\x8B\xE4\xBD\x93", "\xCB\xCE\xCC\xE5"}) {
    const RealizedFont& font = RealizeFont(Font(-16, face).GetLogFont(), "GBK");
    std::vector<const Glyph*> glyphs;
    font.GetGlyphs(U"\u4E2D", glyphs);
    EXPECT_NE(font.FamilyName(), "Liberation Sans") << face;
    EXPECT_EQ(glyphs[0]->advance, 16) << face;
  }
}

TEST(FontMapping, PointFontOfTenPointsIsThirteenPixels) {
  CFont font = CFont::CreatePointFont(100, "Arial");
  EXPECT_EQ(font.GetLogFont().lfHeight, -13);
  EXPECT_EQ(Metrics(font).tmHeight, 15);
  EXPECT_EQ(RealizeFont(font.GetLogFont()).PixelsPerEm(), 13);
}

TEST(FontCache, PrivateFontFilesMustBeFontsAndServeTheirFamily) {
  EXPECT_FALSE(AddPrivateFontFile(std::string(LUMETRA_TEST_DATA) + "/fonts/README.md"));
  EXPECT_FALSE(AddPrivateFontFile("/nonexistent/font.ttf"));
  ASSERT_TRUE(AddPrivateFontFile(std::string(LUMETRA_TEST_DATA) + "/fonts/LiberationSans-Regular.ttf"));
  LOGFONT lf;
  lf.lfHeight = -17;
  std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", "Liberation Sans");
  EXPECT_EQ(RealizeFont(lf).FamilyName(), "Liberation Sans");
}

TEST(FontCache, GlyphsAreRenderedOnce) {
  const RealizedFont& a = RealizeFont(Font(-13, "Arial").GetLogFont());
  const RealizedFont& b = RealizeFont(Font(-13, "Arial").GetLogFont());
  EXPECT_EQ(&a, &b);
  std::vector<const Glyph*> first, second;
  a.GetGlyphs(U"AbA", first);
  a.GetGlyphs(U"A", second);
  EXPECT_EQ(first[0], first[2]);
  EXPECT_EQ(first[0], second[0]);
}

// ---------------------------------------------------------------------------
// Drawing

// Glyph images as the reference drew them, black on white.
TEST(TextOut, GlyphPixelsMatchTheReference) {
  Bitmap32 hg(20, 16, kWhite);
  CDC dc(hg);
  CFont arial = Font(-13, "Arial");
  dc.SelectObject(&arial);
  dc.SetBkMode(TRANSPARENT);
  dc.TextOut(1, 0, U"Hg");
  EXPECT_EQ(Ascii(hg, kBlack),
            "....................\n"
            "....................\n"
            "..#.....#...........\n"
            "..#.....#...........\n"
            "..#.....#...........\n"
            "..#.....#..###.#....\n"
            "..#######..#..##....\n"
            "..#.....#..#...#....\n"
            "..#.....#..#...#....\n"
            "..#.....#..#...#....\n"
            "..#.....#..#..##....\n"
            "..#.....#..###.#....\n"
            "...............#....\n"
            "...........#...#....\n"
            "............###.....\n"
            "....................\n");
}

TEST(TextOut, GlyphsAreCutToTheFontCell) {
  // The ring of the A rises a row above the cell and the foot of the bar sinks a
  // row below it; both are cut off (the cell is rows 1 to 17). Drawn by the reference.
  Bitmap32 bmp(20, 19, kWhite);
  CDC dc(bmp);
  CFont arial = Font(-16, "Arial", 700);
  dc.SelectObject(&arial);
  dc.SetBkMode(TRANSPARENT);
  dc.TextOut(1, 1, U"|\u00C5");
  EXPECT_EQ(Ascii(bmp, kBlack),
            "....................\n"
            ".........#.#........\n"
            ".........#.#........\n"
            "..##.....###........\n"
            "..##.....###........\n"
            "..##....##.##.......\n"
            "..##....##.##.......\n"
            "..##....##.##.......\n"
            "..##...##...##......\n"
            "..##...##...##......\n"
            "..##...#######......\n"
            "..##..#########.....\n"
            "..##..##.....##.....\n"
            "..##..##.....##.....\n"
            "..##..##.....##.....\n"
            "..##................\n"
            "..##................\n"
            "..##................\n"
            "....................\n");
}

TEST(TextOut, OpaqueFillsTheCellBoxAndTransparentLeavesIt) {
  CFont arial = Font(-13, "Arial");
  for (int mode : {OPAQUE, TRANSPARENT}) {
    Bitmap32 bmp(100, 30, kGrey);
    CDC dc(bmp);
    dc.SelectObject(&arial);
    dc.SetBkMode(mode);
    dc.SetBkColor(kYellow);
    dc.TextOut(5, 7, U"Text gy");
    CSize size = dc.GetTextExtent(U"Text gy");
    CRect box{5, 7, 5 + size.cx, 7 + size.cy};
    if (mode == OPAQUE) {
      EXPECT_EQ(Bounds(bmp, kYellow), box);
      EXPECT_EQ(Count(bmp, kGrey, box), 0);
    } else {
      EXPECT_EQ(Bounds(bmp, kYellow), CRect{});
    }
    EXPECT_EQ(Count(bmp, kBlack, box), Count(bmp, kBlack, {0, 0, 100, 30}));
  }
}

TEST(TextOut, AlignmentPlacesTheCellBox) {
  CFont arial = Font(-16, "Arial");
  struct Case {
    unsigned align;
    CRect expected;  // cell box for text 92 wide, ascent 14, descent 3, at (100, 40)
  };
  const Case cases[] = {
      {TA_LEFT | TA_TOP, {100, 40, 192, 57}},    {TA_RIGHT | TA_TOP, {8, 40, 100, 57}},
      {TA_CENTER | TA_TOP, {54, 40, 146, 57}},   {TA_LEFT | TA_BASELINE, {100, 26, 192, 43}},
      {TA_LEFT | TA_BOTTOM, {100, 23, 192, 40}}, {TA_RIGHT | TA_BOTTOM, {8, 23, 100, 40}},
  };
  for (const Case& c : cases) {
    Bitmap32 bmp(200, 80, kGrey);
    CDC dc(bmp);
    dc.SelectObject(&arial);
    dc.SetBkColor(kYellow);
    dc.SetTextAlign(c.align);
    dc.TextOut(100, 40, U"Hello, World!");
    CRect ink = Bounds(bmp, kBlack);
    EXPECT_EQ(Bounds(bmp, kYellow), c.expected) << "align " << c.align;
    EXPECT_TRUE(ink.left >= c.expected.left && ink.right <= c.expected.right && ink.top >= c.expected.top &&
                ink.bottom <= c.expected.bottom)
        << "align " << c.align;
  }
}

TEST(TextOut, UpdateCpContinuesFromTheCurrentPosition) {
  Bitmap32 bmp(200, 40, kGrey);
  CDC dc(bmp);
  CFont arial = Font(-16, "Arial");
  dc.SelectObject(&arial);
  dc.SetBkColor(kYellow);
  dc.SetWindowOrg(-10, 0);  // the position is kept in logical units
  dc.MoveTo(5, 3);
  dc.SetTextAlign(TA_UPDATECP);
  dc.TextOut(99, 99, U"Abc");  // the coordinates are ignored
  const int abc = dc.GetTextExtent(U"Abc").cx;
  const int def = dc.GetTextExtent(U"Def").cx;
  EXPECT_EQ(Bounds(bmp, kYellow), (CRect{15, 3, 15 + abc, 20}));
  EXPECT_EQ(dc.GetCurrentPosition(), (CPoint{5 + abc, 3}));
  dc.TextOut(0, 0, U"Def");
  EXPECT_EQ(dc.GetCurrentPosition(), (CPoint{5 + abc + def, 3}));
  EXPECT_EQ(Bounds(bmp, kYellow), (CRect{15, 3, 15 + abc + def, 20}));
  // Right-aligned text ends at the position and leaves it at its left edge.
  dc.SetTextAlign(TA_UPDATECP | TA_RIGHT);
  dc.TextOut(0, 0, U"Def");
  EXPECT_EQ(dc.GetCurrentPosition(), (CPoint{5 + abc, 3}));
}

TEST(ExtTextOut, ClippedKeepsEveryGlyphPixelInsideTheRectangle) {
  CFont arial = Font(-24, "Arial", 700);
  const CRect clip{20, 8, 70, 22};
  for (int mode : {OPAQUE, TRANSPARENT}) {
    Bitmap32 bmp(120, 40, kGrey);
    CDC dc(bmp);
    dc.SelectObject(&arial);
    dc.SetBkMode(mode);
    dc.SetBkColor(kYellow);
    dc.SetTextColor(kBlack);
    dc.ExtTextOut(5, 2, ETO_CLIPPED, &clip, U"Clipped gy");
    int inside = Count(bmp, kBlack, clip);
    EXPECT_GT(inside, 20);
    EXPECT_EQ(Count(bmp, kBlack, {0, 0, 120, 40}), inside);
    if (mode == OPAQUE) {
      EXPECT_EQ(Bounds(bmp, kYellow), clip);
    }
  }
}

TEST(ExtTextOut, OpaqueRectangleIsFilledWhateverTheModeAndRasterOperation) {
  Bitmap32 bmp(60, 30, kGrey);
  CDC dc(bmp);
  dc.SetBkMode(TRANSPARENT);
  dc.SetBkColor(kYellow);
  dc.SetROP2(R2_XORPEN);
  dc.SetViewportOrg(2, 1);
  CRect r{30, 20, 10, 5};  // corners in either order
  dc.ExtTextOut(0, 0, ETO_OPAQUE, &r, U"");
  EXPECT_EQ(Bounds(bmp, kYellow), (CRect{12, 6, 32, 21}));
  EXPECT_EQ(Count(bmp, kYellow, {12, 6, 32, 21}), 20 * 15);
}

TEST(TextOut, GlyphsIgnoreTheRasterOperationButLinesUseIt) {
  CFont arial = Font(-16, "Arial", 400, false, true);
  Bitmap32 once(80, 30, kGrey);
  {
    CDC dc(once);
    dc.SelectObject(&arial);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(0x0000FF);
    dc.SetROP2(R2_XORPEN);
    dc.TextOut(2, 2, U"Hi");
    dc.TextOut(2, 2, U"Hi");
  }
  // XOR twice: the underline cancels, the glyphs (nothing below the baseline) stay red.
  int red = Count(once, 0x0000FF, {0, 0, 80, 30});
  EXPECT_GT(red, 10);
  Bitmap32 plain(80, 30, kGrey);
  {
    CDC dc(plain);
    CFont noLines = Font(-16, "Arial");
    dc.SelectObject(&noLines);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(0x0000FF);
    dc.TextOut(2, 2, U"Hi");
  }
  EXPECT_EQ(once.Pixels(), plain.Pixels());
}

TEST(TextOut, UnderlineAndStrikeoutRowsMatchTheReference) {
  Bitmap32 bmp(60, 24, kWhite);
  CDC dc(bmp);
  CFont arial = Font(-16, "Arial", 400, false, true, true);
  dc.SelectObject(&arial);
  dc.SetBkMode(TRANSPARENT);
  dc.SetTextAlign(TA_BASELINE);
  dc.TextOut(2, 16, U"Hi");
  std::string image = Ascii(bmp, kBlack);
  auto row = [&](int y) { return image.substr(static_cast<std::size_t>(y) * 61, 20); };
  EXPECT_EQ(row(12), "..################..");  // strikeout: 4 above the baseline
  EXPECT_EQ(row(17), "..################..");  // underline: 1 below it
  EXPECT_EQ(row(16), "....................");
}

TEST(TextOut, GbkBytesDrawTwoChineseCharacters) {
  const std::string zhongwen = "\xD6\xD0\xCE\xC4";  // 中文 in GBK
  Bitmap32 bmp(80, 30, kWhite);
  CDC dc(bmp);
  CFont arial = CFont::CreatePointFont(100, "Arial");  // no Chinese in it: a Chinese face fills in
  dc.SelectObject(&arial);
  dc.SetBkMode(TRANSPARENT);
  CSize size = dc.GetTextExtent(zhongwen);
  EXPECT_EQ(size, dc.GetTextExtent(U"\u4E2D\u6587"));
  EXPECT_EQ(size.cx, 2 * dc.GetTextExtent(U"\u4E2D").cx);
  EXPECT_GE(size.cx, 24);
  dc.TextOut(4, 4, zhongwen);
  int half = size.cx / 2;
  EXPECT_GT(Count(bmp, kBlack, {4, 0, 4 + half, 30}), 10);
  EXPECT_GT(Count(bmp, kBlack, {4 + half, 0, 4 + size.cx, 30}), 10);
  // A byte below 0x80 stands alone; the code page of the DC decides the rest.
  EXPECT_EQ(dc.GetTextExtent(std::string("A") + zhongwen).cx, dc.GetTextExtent(U"A").cx + size.cx);
}

TEST(TextOut, ClipRegionAndOriginsApply) {
  CFont arial = Font(-16, "Arial", 700);
  Bitmap32 reference(100, 30, kWhite);
  {
    CDC dc(reference);
    dc.SelectObject(&arial);
    dc.TextOut(13, 6, U"Region");
  }
  Bitmap32 bmp(100, 30, kWhite);
  CDC dc(bmp);
  dc.SelectObject(&arial);
  dc.SetWindowOrg(-10, -5);
  dc.SetViewportOrg(3, 1);
  CRgn rgn = CRgn::CreateRectRgn(0, 0, 40, 30);
  dc.SelectClipRgn(&rgn);
  dc.TextOut(0, 0, U"Region");
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 100; ++x) {
      std::uint32_t want = x < 40 ? reference.At(x, y) : PixelFromColor(kWhite);
      ASSERT_EQ(bmp.At(x, y), want) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace lumetra
