#include "platform/gdi/region.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace lumetra {
namespace {

CRgn Polygon(std::vector<CPoint> points, PolyFillMode mode = PolyFillMode::Alternate) {
  return CRgn::CreatePolygonRgn(points, mode);
}

TEST(PolygonRegion, TriangleCoversPixelsBelowTheHypotenuse) {
  CRgn rgn = Polygon({{0, 0}, {10, 0}, {0, 10}});
  for (int y = -2; y <= 12; ++y) {
    for (int x = -2; x <= 12; ++x) {
      bool expected = y >= 0 && y <= 9 && x >= 0 && x + y < 10;
      EXPECT_EQ(rgn.PtInRegion(x, y), expected) << "pixel " << x << "," << y;
    }
  }
}

TEST(PolygonRegion, LeftAndTopEdgesAreInRightAndBottomEdgesOut) {
  for (PolyFillMode mode : {PolyFillMode::Alternate, PolyFillMode::Winding}) {
    // Both orientations of the same square.
    for (const CRgn& rgn :
         {Polygon({{2, 3}, {12, 3}, {12, 13}, {2, 13}}, mode), Polygon({{2, 3}, {2, 13}, {12, 13}, {12, 3}}, mode)}) {
      EXPECT_TRUE(rgn.PtInRegion(2, 3));
      EXPECT_TRUE(rgn.PtInRegion(11, 12));
      EXPECT_TRUE(rgn.PtInRegion(2, 12));
      EXPECT_FALSE(rgn.PtInRegion(12, 5));
      EXPECT_FALSE(rgn.PtInRegion(5, 13));
      EXPECT_FALSE(rgn.PtInRegion(1, 5));
      EXPECT_FALSE(rgn.PtInRegion(5, 2));
    }
  }
}

TEST(PolygonRegion, SlantedEdgesCrossAtTheExactXRoundedUp) {
  // Left edge x = 5 - y/2, right edge x = 5 + y/2.
  CRgn rgn = Polygon({{5, 0}, {10, 10}, {0, 10}});
  auto row = [&](int y) {
    std::vector<int> xs;
    for (int x = -1; x <= 11; ++x)
      if (rgn.PtInRegion(x, y)) xs.push_back(x);
    return xs;
  };
  EXPECT_EQ(row(0), std::vector<int>{});
  EXPECT_EQ(row(1), std::vector<int>{5});
  EXPECT_EQ(row(2), (std::vector<int>{4, 5}));
  EXPECT_EQ(row(3), (std::vector<int>{4, 5, 6}));
  EXPECT_EQ(row(9), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(row(10), std::vector<int>{});
}

TEST(PolygonRegion, RowsThroughVerticesCountEachEdgeOnce) {
  CRgn diamond = Polygon({{5, 0}, {10, 5}, {5, 10}, {0, 5}});
  auto row = [&](int y) {
    std::vector<int> xs;
    for (int x = -1; x <= 11; ++x)
      if (diamond.PtInRegion(x, y)) xs.push_back(x);
    return xs;
  };
  EXPECT_EQ(row(0), std::vector<int>{});
  EXPECT_EQ(row(1), (std::vector<int>{4, 5}));
  EXPECT_EQ(row(5), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(row(9), (std::vector<int>{4, 5}));
  EXPECT_EQ(row(10), std::vector<int>{});
}

TEST(PolygonRegion, FewerThanThreeVerticesEncloseNothing) {
  EXPECT_FALSE(Polygon({}).PtInRegion(0, 0));
  EXPECT_FALSE(Polygon({{0, 0}}).PtInRegion(0, 0));
  CRgn two = Polygon({{0, 0}, {10, 10}}, PolyFillMode::Winding);
  for (int i = 0; i <= 10; ++i) EXPECT_FALSE(two.PtInRegion(i, i));
  EXPECT_FALSE(two.PtInRegion(0, 5));
}

TEST(PolygonRegion, StarCentreIsInForWindingOnly) {
  const std::vector<CPoint> star = {{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}};
  CRgn alternate = Polygon(star, PolyFillMode::Alternate);
  CRgn winding = Polygon(star, PolyFillMode::Winding);
  EXPECT_FALSE(alternate.PtInRegion(50, 50));
  EXPECT_TRUE(winding.PtInRegion(50, 50));
  // A tip is covered once, so both modes agree.
  EXPECT_TRUE(alternate.PtInRegion(50, 15));
  EXPECT_TRUE(winding.PtInRegion(50, 15));
  EXPECT_FALSE(alternate.PtInRegion(10, 80));
  EXPECT_FALSE(winding.PtInRegion(10, 80));
}

TEST(PolygonRegion, SquareTracedTwiceIsEmptyForAlternateAndFullForWinding) {
  const std::vector<CPoint> twice = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {10, 0}, {10, 10}, {0, 10}};
  CRgn alternate = Polygon(twice, PolyFillMode::Alternate);
  CRgn winding = Polygon(twice, PolyFillMode::Winding);
  for (CPoint p : {CPoint{0, 0}, CPoint{5, 5}, CPoint{9, 9}}) {
    EXPECT_FALSE(alternate.PtInRegion(p.x, p.y));
    EXPECT_TRUE(winding.PtInRegion(p.x, p.y));
  }
  EXPECT_FALSE(winding.PtInRegion(10, 5));
}

TEST(PolygonRegion, OppositeLoopsCancelForWinding) {
  // One square clockwise, then the same square anticlockwise: winding 0 inside.
  CRgn rgn = Polygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}, {0, 10}, {10, 10}, {10, 0}}, PolyFillMode::Winding);
  EXPECT_FALSE(rgn.PtInRegion(5, 5));
}

TEST(PolygonRegion, HugeCoordinatesAnswerExactly) {
  const int big = 2'000'000'000;
  CRgn square = Polygon({{-big, -big}, {big, -big}, {big, big}, {-big, big}}, PolyFillMode::Winding);
  EXPECT_TRUE(square.PtInRegion(0, 0));
  EXPECT_TRUE(square.PtInRegion(-big, -big));
  EXPECT_TRUE(square.PtInRegion(big - 1, big - 1));
  EXPECT_FALSE(square.PtInRegion(big, 0));
  EXPECT_FALSE(square.PtInRegion(0, big));
  EXPECT_FALSE(square.PtInRegion(INT32_MIN, 0));

  // Hypotenuse x + y = 0 through the whole coordinate range.
  CRgn triangle = Polygon({{-big, -big}, {big, -big}, {-big, big}});
  EXPECT_TRUE(triangle.PtInRegion(-1, 0));
  EXPECT_FALSE(triangle.PtInRegion(0, 0));
  EXPECT_TRUE(triangle.PtInRegion(big - 1, -big));
  EXPECT_FALSE(triangle.PtInRegion(INT32_MAX, INT32_MAX));

  CRgn sliver = Polygon({{INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MIN}, {INT32_MAX, INT32_MAX}});
  EXPECT_TRUE(sliver.PtInRegion(0, -1));
  EXPECT_FALSE(sliver.PtInRegion(-1, 0));
}

TEST(PolygonRegion, FilledSpansAgreeWithHitTestsOnRandomPolygonsAndWindows) {
  // Spans step each edge's crossing from row to row; hit tests work every
  // crossing out on its own. Both must cover the same pixels.
  std::mt19937 rng(99);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 300; ++round) {
    std::vector<CPoint> points;
    for (int i = pick(3, 8); i > 0; --i) points.push_back({pick(-10, 50), pick(-10, 40)});
    const PolyFillMode mode = round % 2 == 0 ? PolyFillMode::Alternate : PolyFillMode::Winding;
    const CRgn rgn = Polygon(points, mode);
    const CRect window{pick(-12, 20), pick(-12, 20), pick(20, 52), pick(20, 42)};
    const SpanSet within = rgn.SpansWithin(window);
    for (int y = -12; y < 42; ++y) {
      for (int x = -12; x < 52; ++x) {
        ASSERT_EQ(rgn.Spans().Contains(x, y), rgn.PtInRegion(x, y)) << "round " << round << " at " << x << "," << y;
        ASSERT_EQ(within.Contains(x, y), window.PtInRect({x, y}) && rgn.PtInRegion(x, y)) << "round " << round;
      }
    }
  }
}

TEST(EllipticRegion, AFlatBoxKeepsTheRowAboveIt) {
  // The box loses its last row and column first, which turns a flat box over
  // onto the row above (a thin box onto the column left of it), which remains
  // as a rectangle.
  CRgn flat = CRgn::CreateEllipticRgn(5, 10, 40, 10);
  EXPECT_EQ(flat.GetRgnBox(), (CRect{5, 9, 39, 10}));
  EXPECT_EQ(CRgn::CreateEllipticRgn(5, 10, 5, 30).GetRgnBox(), (CRect{4, 10, 5, 29}));
  EXPECT_EQ(CRgn::CreateEllipticRgn(INT32_MIN, 0, INT32_MAX, 10).GetRgnBox().top, 0);
}

TEST(RoundRectRegion, TipsOfNarrowTallCornersStayEmpty) {
  // A corner ellipse 4 wide and 30 tall: the walk reaches the middle column
  // before the top row, so the outermost rows get no span at all.
  CRgn rgn = CRgn::CreateRoundRectRgn(0, 0, 30, 50, 4, 30);
  EXPECT_FALSE(rgn.PtInRegion(15, 0));
  EXPECT_TRUE(rgn.PtInRegion(1, 1));
  EXPECT_FALSE(rgn.PtInRegion(15, 48));
  EXPECT_TRUE(rgn.PtInRegion(1, 47));
  EXPECT_EQ(rgn.GetRgnBox(), (CRect{0, 1, 29, 48}));
}

}  // namespace
}  // namespace lumetra
