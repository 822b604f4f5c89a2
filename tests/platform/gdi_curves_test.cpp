#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/gdi/dc.h"

namespace lumetra {
namespace {

constexpr std::uint32_t kInk = 0xFFFFFF;  // white pen on a black bitmap

// One string per row: '#' where the pixel is not black.
std::vector<std::string> Picture(const Bitmap32& bmp) {
  std::vector<std::string> rows;
  for (int y = 0; y < bmp.Height(); ++y) {
    std::string row;
    for (int x = 0; x < bmp.Width(); ++x) row += bmp.At(x, y) != 0 ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

bool Blank(const Bitmap32& bmp) {
  for (std::uint32_t p : bmp.Pixels()) {
    if (p != 0) return false;
  }
  return true;
}

struct Canvas {
  Bitmap32 bmp;
  CDC dc;
  CPen pen;
  Canvas(int w, int h, int style = PS_SOLID, int width = 1) : bmp(w, h), dc(bmp), pen(style, width, kInk) {
    dc.SelectObject(&pen);
    dc.SelectObject(&StockNullBrush());
  }
};

TEST(EllipseOutline, SmallEllipsesHaveTheClassicRows) {
  Canvas even(8, 8);
  even.dc.Ellipse(0, 0, 8, 8);
  EXPECT_EQ(Picture(even.bmp), (std::vector<std::string>{"..####..", ".#....#.", "#......#", "#......#", "#......#",
                                                         "#......#", ".#....#.", "..####.."}));
  Canvas odd(5, 5);
  odd.dc.Ellipse(0, 0, 5, 5);
  EXPECT_EQ(Picture(odd.bmp), (std::vector<std::string>{".###.", "#...#", "#...#", "#...#", ".###."}));
}

TEST(EllipseOutline, DotsStartAtTheRightMiddleAndFollowTheArcDirection) {
  // Starting at (39, 14): three dots, then three gaps, counted pixel by pixel.
  Canvas ccw(40, 30, PS_DOT);
  ccw.dc.SetBkMode(TRANSPARENT);
  ccw.dc.Ellipse(0, 0, 40, 30);
  for (int y : {14, 13, 12}) EXPECT_EQ(ccw.bmp.At(39, y), kInk) << y;
  for (int y : {11, 10, 15, 16}) EXPECT_EQ(ccw.bmp.At(39, y), 0u) << y;

  Canvas cw(40, 30, PS_DOT);
  cw.dc.SetBkMode(TRANSPARENT);
  cw.dc.SetArcDirection(AD_CLOCKWISE);
  cw.dc.Ellipse(0, 0, 40, 30);
  for (int y : {15, 16, 17}) EXPECT_EQ(cw.bmp.At(39, y), kInk) << y;
  for (int y : {14, 13, 18}) EXPECT_EQ(cw.bmp.At(39, y), 0u) << y;
}

TEST(ArcShape, OpenArcLeavesItsLastPointOut) {
  Canvas c(10, 10);
  c.dc.Arc(0, 0, 10, 10, 10, 5, 5, 0);
  std::vector<CPoint> lit;
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) {
      if (c.bmp.At(x, y) != 0) lit.push_back({x, y});
    }
  }
  EXPECT_EQ(lit, (std::vector<CPoint>{{7, 1}, {8, 2}, {9, 3}, {9, 4}}));
}

TEST(ArcShape, EqualRadialsGoAllTheWayRound) {
  Canvas arc(21, 15), chord(21, 15), ellipse(21, 15);
  arc.dc.Arc(0, 0, 21, 15, 3, 30, 3, 30);
  chord.dc.Chord(0, 0, 21, 15, 3, 30, 3, 30);
  ellipse.dc.Ellipse(0, 0, 21, 15);
  EXPECT_EQ(Picture(chord.bmp), Picture(ellipse.bmp));
  // The open arc stops one pixel short of where it began: (7, 14), just before the bottom start.
  std::vector<std::string> expected = Picture(ellipse.bmp);
  expected[14][7] = '.';
  EXPECT_EQ(Picture(arc.bmp), expected);
}

TEST(CurveShapes, EmptyBoxesDrawNothing) {
  Canvas c(32, 32, PS_SOLID, 3);
  CBrush brush = CBrush::Solid(0x00FF00);
  c.dc.SelectObject(&brush);
  c.dc.Ellipse(5, 5, 5, 20);
  c.dc.RoundRect(5, 5, 20, 5, 6, 6);
  c.dc.Arc(10, 3, 10, 30, 0, 0, 30, 30);
  c.dc.Chord(3, 10, 30, 10, 0, 0, 30, 30);
  c.dc.Pie(20, 20, 20, 20, 0, 0, 30, 30);
  EXPECT_TRUE(Blank(c.bmp));
}

TEST(CurveShapes, WidePenAndFillArePaintedOnceEach) {
  // Under XOR a pixel painted by both would show pen ^ brush.
  Canvas c(40, 30, PS_SOLID, 5);
  CBrush brush = CBrush::Solid(0x0000FF);
  c.dc.SelectObject(&brush);
  c.dc.SetROP2(R2_XORPEN);
  c.dc.Ellipse(4, 4, 36, 26);
  for (std::uint32_t p : c.bmp.Pixels()) EXPECT_TRUE(p == 0 || p == kInk || p == PixelFromColor(0x0000FF)) << p;
  EXPECT_EQ(c.bmp.At(20, 15), PixelFromColor(0x0000FF));
}

TEST(BezierCurve, NeedsThreePointsPerCurvePlusOne) {
  Canvas c(32, 32);
  const std::vector<CPoint> five{{0, 0}, {30, 0}, {30, 30}, {0, 30}, {15, 15}};
  EXPECT_FALSE(c.dc.PolyBezier(five));
  const std::vector<CPoint> two{{0, 0}, {30, 30}};
  EXPECT_FALSE(c.dc.PolyBezier(two));
  EXPECT_TRUE(Blank(c.bmp));
}

TEST(BezierCurve, StraightCurveIsALineWithoutItsEndPoint) {
  Canvas curve(32, 8), line(32, 8);
  const std::vector<CPoint> points{{2, 3}, {10, 3}, {20, 3}, {28, 3}};
  EXPECT_TRUE(curve.dc.PolyBezier(points));
  line.dc.MoveTo(2, 3);
  line.dc.LineTo(28, 3);
  EXPECT_EQ(Picture(curve.bmp), Picture(line.bmp));
  EXPECT_EQ(curve.bmp.At(27, 3), kInk);
  EXPECT_EQ(curve.bmp.At(28, 3), 0u);
}

}  // namespace
}  // namespace lumetra
