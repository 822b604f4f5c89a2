#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdi/dc.h"

namespace lumetra {
namespace {

using Px = std::vector<std::uint32_t>;
constexpr COLORREF kBackground = 0xEFCDAB;
constexpr std::uint32_t kUntouched = 0xABCDEF;  // kBackground as a pixel

// A DIB in memory: header plus colour table, and the padded pixel rows.
struct TestDib {
  std::vector<std::uint8_t> head;
  std::vector<std::uint8_t> bits;

  TestDib(int width, int height, int bitCount, const Px& colours = {}) : head(40) {
    BITMAPINFOHEADER h{40, width, height, 1, std::uint16_t(bitCount), 0, 0, 0, 0, std::uint32_t(colours.size()), 0};
    std::memcpy(head.data(), &h, sizeof h);
    for (std::uint32_t c : colours) head.insert(head.end(), {std::uint8_t(c), std::uint8_t(c >> 8), std::uint8_t(c >> 16), 0});
    bits.resize(Stride() * std::size_t(height < 0 ? -height : height));
  }
  BITMAPINFOHEADER& Header() { return *reinterpret_cast<BITMAPINFOHEADER*>(head.data()); }
  std::size_t Stride() { return std::size_t((Header().biWidth * Header().biBitCount + 31) / 32 * 4); }
  std::uint8_t* Row(int y) { return bits.data() + Stride() * std::size_t(y); }  // in memory order
  DibView View() { return {&Header(), head.size(), bits.data(), bits.size()}; }
};

// A 32-bit picture whose rows, top to bottom, are `rows`.
TestDib Dib32(const std::vector<Px>& rows, bool topDown = false) {
  int h = int(rows.size());
  TestDib dib(int(rows[0].size()), topDown ? -h : h, 32);
  for (int y = 0; y < h; ++y) std::memcpy(dib.Row(topDown ? y : h - 1 - y), rows[std::size_t(y)].data(), rows[0].size() * 4);
  return dib;
}
TestDib Column32(const Px& values) {
  std::vector<Px> rows;
  for (std::uint32_t v : values) rows.push_back({v});
  return Dib32(rows);
}
Px Ramp(int n, std::uint32_t base = 0) {
  Px v;
  for (int i = 0; i < n; ++i) v.push_back(base + std::uint32_t(i));
  return v;
}
Px RowOf(const Bitmap32& b, int y, int x0, int x1) { return {b.Row(y) + x0, b.Row(y) + x1}; }
Px ColumnOf(const Bitmap32& b, int x, int y0, int y1) {
  Px v;
  for (int y = y0; y < y1; ++y) v.push_back(b.At(x, y));
  return v;
}
int Draw(CDC& dc, int x, int y, int w, int h, int xs, int ys, int ws, int hs, TestDib& dib, std::uint32_t rop = SRCCOPY) {
  return dc.StretchDIBits(x, y, w, h, xs, ys, ws, hs, dib.View(), DIB_RGB_COLORS, rop);
}
constexpr std::uint32_t kSrcPaint = 0x00EE0086;

TEST(StretchAxes, EnlargingTakesThePixelUnderEachCentreTiesGoingLow) {
  for (int s = 1; s <= 20; ++s) {
    TestDib dib = Dib32({Ramp(s)});
    for (int d = s; d <= 60; ++d) {
      Bitmap32 bmp(60, 1);
      CDC dc(bmp);
      Draw(dc, 0, 0, d, 1, 0, 0, s, 1, dib);
      for (int i = 0; i < d; ++i) ASSERT_EQ(bmp.At(i, 0), std::uint32_t(((2 * i + 1) * s - 1) / (2 * d))) << s << "->" << d;
    }
  }
  Bitmap32 bmp(3, 7);
  CDC dc(bmp);
  TestDib two = Column32(Ramp(2)), three = Column32(Ramp(3));
  Draw(dc, 0, 0, 1, 5, 0, 0, 1, 2, two);
  Draw(dc, 1, 0, 1, 5, 0, 0, 1, 3, three);
  Draw(dc, 2, 0, 1, 7, 0, 0, 1, 3, three);
  EXPECT_EQ(ColumnOf(bmp, 0, 0, 5), (Px{0, 0, 0, 1, 1}));
  EXPECT_EQ(ColumnOf(bmp, 1, 0, 5), (Px{0, 0, 1, 2, 2}));
  EXPECT_EQ(ColumnOf(bmp, 2, 0, 7), (Px{0, 0, 1, 1, 1, 2, 2}));
}

TEST(StretchAxes, ShrinkingGroupsFollowTheCentreRuleInEveryMode) {
  // One bit per source pixel shows which pixels reach each destination pixel.
  for (int s = 2; s <= 24; ++s) {
    Px bits;
    for (int j = 0; j < s; ++j) bits.push_back(1u << j);
    TestDib across = Dib32({bits}), down = Column32(bits);
    for (int d = 1; d < s; ++d) {
      Px all(static_cast<std::size_t>(d)), first = all, last = all;
      for (int j = s - 1; j >= 0; --j) {
        std::size_t i = std::size_t(((2 * j + 1) * d - 1) / (2 * s));
        all[i] |= 1u << j;
        first[i] = 1u << j;
        if (!last[i]) last[i] = 1u << j;
      }
      Bitmap32 bmp(24, 24);
      CDC dc(bmp);
      dc.SetStretchBltMode(WHITEONBLACK);
      Draw(dc, 0, 0, d, 1, 0, 0, s, 1, across);
      EXPECT_EQ(RowOf(bmp, 0, 0, d), all) << s << "->" << d;
      dc.SetStretchBltMode(COLORONCOLOR);
      Draw(dc, 0, 1, d, 1, 0, 0, s, 1, across);
      EXPECT_EQ(RowOf(bmp, 1, 0, d), last) << s << "->" << d;  // the last column of a group wins
      Draw(dc, 23, 0, 1, d, 0, 0, 1, s, down);
      EXPECT_EQ(ColumnOf(bmp, 23, 0, d), first) << s << "->" << d;  // the first row of a group wins
    }
  }
}

TEST(StretchAxes, ShrinkingFiveByFiveWithColorOnColor) {
  Bitmap32 bmp(4, 4, kBackground);
  CDC dc(bmp);
  dc.SetStretchBltMode(COLORONCOLOR);
  TestDib dib = Dib32({Ramp(5, 0x00), Ramp(5, 0x10), Ramp(5, 0x20), Ramp(5, 0x30), Ramp(5, 0x40)});
  EXPECT_EQ(Draw(dc, 0, 0, 2, 2, 0, 0, 5, 5, dib), 5);
  EXPECT_EQ(RowOf(bmp, 0, 0, 3), (Px{0x02, 0x04, kUntouched}));
  EXPECT_EQ(RowOf(bmp, 1, 0, 2), (Px{0x32, 0x34}));
  Draw(dc, 0, 0, 3, 3, 0, 0, 5, 5, dib);
  EXPECT_EQ(RowOf(bmp, 0, 0, 3), (Px{0x01, 0x02, 0x04}));
  EXPECT_EQ(ColumnOf(bmp, 2, 0, 3), (Px{0x04, 0x24, 0x34}));
}

TEST(StretchAxes, TheDefaultModeAndsShrunkGroupsButEnlargingCopies) {
  Bitmap32 bmp(4, 2);
  CDC dc(bmp);
  TestDib dib = Dib32({{0xFF00F0, 0x0F0FF0, 0x00FFFF}});
  Draw(dc, 0, 0, 1, 1, 0, 0, 3, 1, dib);
  EXPECT_EQ(bmp.At(0, 0), 0x0000F0u);
  Draw(dc, 0, 1, 4, 1, 0, 0, 2, 1, dib);
  EXPECT_EQ(RowOf(bmp, 1, 0, 4), (Px{0xFF00F0, 0xFF00F0, 0x0F0FF0, 0x0F0FF0}));
}

TEST(StretchGeometry, NegativeExtentsIncludeTheStartPixelAndMirror) {
  TestDib dib = Dib32({Ramp(4, 1)});
  Bitmap32 bmp(8, 4, kBackground);
  CDC dc(bmp);
  Draw(dc, 5, 0, -4, 1, 0, 0, 4, 1, dib);  // covers 2..5
  Draw(dc, 0, 1, 4, 1, 3, 0, -4, 1, dib);  // reads 3..0
  Draw(dc, 4, 2, -4, 1, 3, 0, -4, 1, dib);
  dc.SetStretchBltMode(WHITEONBLACK);
  Draw(dc, 0, 3, 2, 1, 3, 0, -4, 1, dib);
  EXPECT_EQ(RowOf(bmp, 3, 0, 2), (Px{4 | 3, 2 | 1}));
  EXPECT_EQ(RowOf(bmp, 0, 1, 7), (Px{kUntouched, 4, 3, 2, 1, kUntouched}));
  EXPECT_EQ(RowOf(bmp, 1, 0, 4), (Px{4, 3, 2, 1}));
  EXPECT_EQ(RowOf(bmp, 2, 0, 6), (Px{kUntouched, 1, 2, 3, 4, kUntouched}));  // both negative: no mirror
}

TEST(StretchGeometry, SourceYCountsFromTheBottom) {
  std::vector<Px> rows{{0xA}, {0xB}, {0xC}, {0xD}};
  TestDib up = Dib32(rows), down = Dib32(rows, true);
  Bitmap32 bmp(4, 1);
  CDC dc(bmp);
  Draw(dc, 0, 0, 1, 1, 0, 1, 1, 1, up);
  // Copies flip top-down pictures the same way, except a same-size copy from (0, 0).
  Draw(dc, 1, 0, 1, 1, 0, 1, 1, 1, down);
  Draw(dc, 2, 0, 1, 1, 0, 0, 1, 1, down);
  EXPECT_EQ(Draw(dc, 3, 0, 1, 1, 0, 1, 1, 1, down, kSrcPaint), -4);
  EXPECT_EQ(RowOf(bmp, 0, 0, 4), (Px{0xC, 0xC, 0xA, 0xB}));
}

TEST(StretchGeometry, OnePixelDestinationDropsTheLastSourcePixelExceptInDibCopies) {
  Bitmap32 src(2, 1);
  src.At(0, 0) = 0x11;
  src.At(1, 0) = 0x22;
  CDC from(src);
  Bitmap32 bmp(3, 1);
  CDC dc(bmp);
  dc.SetStretchBltMode(COLORONCOLOR);
  EXPECT_TRUE(dc.StretchBlt(0, 0, 1, 1, from, 0, 0, 2, 1, SRCCOPY));
  TestDib dib = Dib32({{0x11, 0x22}});
  Draw(dc, 1, 0, 1, 1, 0, 0, 2, 1, dib);
  Draw(dc, 2, 0, 1, 1, 0, 0, 2, 1, dib, kSrcPaint);
  EXPECT_EQ(RowOf(bmp, 0, 0, 3), (Px{0x11, 0x22, 0x11}));
}

TEST(StretchClipping, OnlyVisiblePixelsWithASourceAreWritten) {
  TestDib dib = Dib32({Ramp(4, 1)});
  Bitmap32 bmp(6, 1, kBackground);
  CDC dc(bmp);
  dc.SetWindowOrg(-1, 0);
  Draw(dc, -3, 0, 8, 1, 0, 0, 4, 1, dib);  // device -2..5
  EXPECT_EQ(RowOf(bmp, 0, 0, 6), (Px{2, 2, 3, 3, 4, 4}));
  bmp.Fill(kBackground);
  dc.SetWindowOrg(0, 0);
  Draw(dc, 0, 0, 6, 1, -1, 0, 6, 1, dib);  // reads -1..4
  EXPECT_EQ(RowOf(bmp, 0, 0, 6), (Px{kUntouched, 1, 2, 3, 4, kUntouched}));
  bmp.Fill(kBackground);
  Draw(dc, 0, 0, 6, 1, 5, 0, -6, 1, dib);  // reads 5..0
  EXPECT_EQ(RowOf(bmp, 0, 0, 6), (Px{kUntouched, kUntouched, 4, 3, 2, 1}));
  bmp.Fill(kBackground);
  dc.SetClipRect(CRect{1, 0, 5, 1});
  CRgn rgn = CRgn::CreateRectRgn(0, 0, 3, 1);
  dc.SelectClipRgn(&rgn);
  EXPECT_EQ(Draw(dc, 0, 0, 4, 1, 0, 0, 4, 1, dib), 1);
  EXPECT_EQ(RowOf(bmp, 0, 0, 4), (Px{kUntouched, 2, 3, kUntouched}));
}

TEST(DibSources, EveryBitCountReadsAsRgb) {
  Bitmap32 bmp(3, 6);
  CDC dc(bmp);
  TestDib mono(9, 1, 1, {0x102030, 0xF0E0D0});
  std::memcpy(mono.Row(0), "\x81\x80", 2);
  Draw(dc, 0, 0, 1, 1, 8, 0, 1, 1, mono);
  Draw(dc, 1, 0, 2, 1, 6, 0, 2, 1, mono);
  EXPECT_EQ(RowOf(bmp, 0, 0, 3), (Px{0xF0E0D0, 0x102030, 0xF0E0D0}));
  TestDib four(3, 1, 4, {0, 0x111111, 0x222222});  // index 3 is past the table
  std::memcpy(four.Row(0), "\x21\x30", 2);
  Draw(dc, 0, 1, 3, 1, 0, 0, 3, 1, four);
  EXPECT_EQ(RowOf(bmp, 1, 0, 3), (Px{0x222222, 0x111111, 0}));
  TestDib eight(1, 1, 8, Ramp(256, 0x010000));
  eight.Row(0)[0] = 200;
  Draw(dc, 0, 2, 1, 1, 0, 0, 1, 1, eight);
  EXPECT_EQ(bmp.At(0, 2), 0x0100C8u);
  TestDib sixteen(3, 1, 16);  // 5-5-5, little-endian
  std::memcpy(sixteen.Row(0), "\x21\x04\x1F\x00\xFF\x7F", 6);
  Draw(dc, 0, 3, 3, 1, 0, 0, 3, 1, sixteen);
  EXPECT_EQ(RowOf(bmp, 3, 0, 3), (Px{0x080808, 0x0000FF, 0xFFFFFF}));
  TestDib rgb(1, 2, 24);  // rows padded to 4 bytes, bottom row first
  std::memcpy(rgb.bits.data(), "\x04\x05\x06\x00\x01\x02\x03", 7);
  Draw(dc, 0, 4, 1, 2, 0, 0, 1, 2, rgb);
  TestDib x888 = Dib32({{0xFF123456}});
  Draw(dc, 1, 4, 1, 1, 0, 0, 1, 1, x888);
  EXPECT_EQ(ColumnOf(bmp, 0, 4, 6), (Px{0x030201, 0x060504}));
  EXPECT_EQ(bmp.At(1, 4), 0x123456u);
}

TEST(DibSources, ColourEntriesBeyondTheHeaderBlockReadAsBlack) {
  Bitmap32 bmp(2, 1, kBackground);
  CDC dc(bmp);
  TestDib shortTable(2, 1, 8, Px{0x112233});
  shortTable.Header().biClrUsed = 200;  // announces far more entries than the block holds
  shortTable.bits[1] = 150;
  EXPECT_EQ(dc.StretchDIBits(0, 0, 2, 1, 0, 0, 2, 1, shortTable.View(), DIB_RGB_COLORS, SRCCOPY), 1);
  EXPECT_EQ(bmp.At(0, 0), 0x112233u);
  EXPECT_EQ(bmp.At(1, 0), 0u);
}

TEST(DibSources, UnreadablePicturesDrawNothing) {
  Bitmap32 bmp(2, 2, kBackground);
  CDC dc(bmp);
  auto draw = [&](TestDib& dib, std::size_t size, unsigned usage = DIB_RGB_COLORS) {
    return dc.StretchDIBits(0, 0, 2, 2, 0, 0, 1, 1, {&dib.Header(), dib.head.size(), dib.bits.data(), size}, usage, SRCCOPY);
  };
  TestDib rgb(3, 2, 24), twoBit(3, 2, 2), fields(3, 2, 32), bad(1, 1, 32);
  EXPECT_EQ(draw(rgb, 23), 0);  // two rows of 9 bytes padded to 12
  EXPECT_EQ(draw(rgb, 24, 1), 0);
  EXPECT_EQ(draw(twoBit, 1000), 0);
  EXPECT_EQ(dc.StretchDIBits(0, 0, 2, 2, 0, 0, 1, 1, {&rgb.Header(), 20, rgb.bits.data(), 1000}, DIB_RGB_COLORS,
                             SRCCOPY),
            0);  // the header block is shorter than its header
  fields.Header().biCompression = 3;
  EXPECT_EQ(draw(fields, 1000), 0);
  struct Size { int w, h; };
  for (auto [w, h] : {Size{0, 2}, Size{2, 0}, Size{-2, 2}, Size{0x7FFFFFFF, 0x7FFFFFFF}}) {
    bad.Header().biWidth = w;
    bad.Header().biHeight = h;
    EXPECT_EQ(draw(bad, 4), 0) << w << "x" << h;
  }
  EXPECT_EQ(bmp.Pixels(), Px(4, kUntouched));
  EXPECT_EQ(draw(rgb, 24), 2);
}

TEST(DcBlits, BitBltMapsBothOriginsAndOverlapReadsTheOldPixels) {
  Bitmap32 bmp(2, 4);
  for (int y = 0; y < 4; ++y) bmp.At(0, y) = std::uint32_t(y + 1);
  CDC dc(bmp);
  dc.SetViewportOrg(1, 0);
  EXPECT_TRUE(dc.BitBlt(-1, 1, 1, 3, dc, -1, 0, SRCCOPY));  // one row down, onto itself
  EXPECT_EQ(ColumnOf(bmp, 0, 0, 4), (Px{1, 1, 2, 3}));
  Bitmap32 other(1, 2);
  CDC to(other);
  EXPECT_TRUE(to.BitBlt(0, 0, 1, 2, dc, -1, 2, SRCCOPY));
  EXPECT_EQ(ColumnOf(other, 0, 0, 2), (Px{2, 3}));
}

TEST(DcBlits, OtherRasterOperationsCombineSourcePatternAndDestination) {
  Bitmap32 src(1, 1);
  src.At(0, 0) = 0x00FF0F;
  CDC from(src);
  Bitmap32 bmp(4, 1, 0x0FF000);  // pixel 0x00F00F
  CDC dc(bmp);
  CBrush brush = CBrush::Solid(0x0000FF);  // pixel 0xFF0000
  dc.SelectObject(&brush);
  EXPECT_TRUE(dc.BitBlt(0, 0, 1, 1, from, 0, 0, 0x00660046));  // SRCINVERT
  EXPECT_TRUE(dc.BitBlt(1, 0, 1, 1, from, 0, 0, 0x008800C6));  // SRCAND
  EXPECT_TRUE(dc.BitBlt(2, 0, 1, 1, from, 0, 0, 0x00C000CA));  // MERGECOPY: pattern and source
  EXPECT_TRUE(dc.BitBlt(3, 0, 1, 1, from, 0, 0, PATCOPY));
  EXPECT_EQ(RowOf(bmp, 0, 0, 4), (Px{0x000F00, 0x00F00F, 0x000000, 0xFF0000}));
  CBrush hatch = CBrush::Hatch(HS_CROSS, 0);
  dc.SelectObject(&hatch);
  EXPECT_FALSE(dc.BitBlt(0, 0, 1, 1, from, 0, 0, 0x00C000CA));
}

}  // namespace
}  // namespace lumetra
