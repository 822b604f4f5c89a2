// Hit bands, handle squares, grabs and drags of the line, the rectangles and
// the tool-made ellipse.

#include <gtest/gtest.h>

#include "support/unit_bench.h"
#include "units/ellipse.h"
#include "units/line.h"
#include "units/rectangle.h"
#include "units/round_rectangle.h"

namespace lumetra {
namespace {

using Band = std::array<CPoint, 4>;

TEST(LineUnit, HitBandsFollowTheSegmentsDirection) {
  EXPECT_EQ(LineHitBand({0, 0}, {100, 100}, 1), (Band{{{99, 90}, {91, 100}, {1, 10}, {9, 0}}}));
  EXPECT_EQ(LineHitBand({0, 100}, {100, 0}, 1), (Band{{{-9, 100}, {-1, 110}, {109, 10}, {101, 0}}}));
  // Drawn from right to left the band is the same: the left end is found first.
  EXPECT_EQ(LineHitBand({100, 100}, {0, 0}, 1), LineHitBand({0, 0}, {100, 100}, 1));
  // A zero-length segment gets the horizontal rectangle.
  EXPECT_EQ(LineHitBand({50, 40}, {50, 40}, 2), (Band{{{44, 35}, {44, 45}, {56, 45}, {56, 35}}}));
}

TEST(LineUnit, VerticalBandsReachPastTheEndsOnlyWhenDrawnDownwards) {
  CDLine down, up;
  down.m_ptFirst = {20, 10};
  down.m_ptSecond = {20, 60};
  up.m_ptFirst = {20, 60};
  up.m_ptSecond = {20, 10};
  // w + 4 = 5 beyond both ends downwards; upwards the band stops 5 short of each end.
  EXPECT_TRUE(down.PtInUnit(20, 5));
  EXPECT_FALSE(down.PtInUnit(20, 4));
  EXPECT_TRUE(down.PtInUnit(20, 64));
  EXPECT_FALSE(down.PtInUnit(20, 65));
  EXPECT_FALSE(up.PtInUnit(20, 14));
  EXPECT_TRUE(up.PtInUnit(20, 15));
  EXPECT_TRUE(up.PtInUnit(20, 54));
  EXPECT_FALSE(up.PtInUnit(20, 55));
}

TEST(LineUnit, TheBandFollowsTheLineAfterEveryChange) {
  CDLine line;
  line.m_ptFirst = {10, 10};
  line.m_ptSecond = {60, 10};
  EXPECT_TRUE(line.PtInUnit(30, 10));
  line.m_ptFirst = {10, 80};
  line.m_ptSecond = {60, 80};
  EXPECT_FALSE(line.PtInUnit(30, 10));
  EXPECT_TRUE(line.PtInUnit(30, 80));
}

TEST(LineUnit, HandleSquaresGrowWithThePenAndTheStartWins) {
  CDLine line;
  line.m_nPenWidth = 5;
  line.m_ptFirst = {40, 40};
  line.m_ptSecond = {80, 40};
  // t = 10: x in 30 .. 49, y in 30 .. 49.
  EXPECT_EQ(line.HitHandle(30, 30), 1);
  EXPECT_EQ(line.HitHandle(49, 49), 1);
  EXPECT_EQ(line.HitHandle(29, 40), 0);
  EXPECT_EQ(line.HitHandle(40, 50), 0);
  EXPECT_EQ(line.HitHandle(89, 40), 2);
  EXPECT_EQ(line.m_ptHandle, (CPoint{80, 40}));

  line.m_ptSecond = {44, 40};  // the squares overlap
  EXPECT_EQ(line.HitHandle(42, 40), 1);
}

TEST(LineUnit, GrabbingTheStartSwapsTheEndsSoTheDragMovesTheSecondPoint) {
  test::UnitBench bench;
  CDLine line;
  line.m_ptFirst = {10, 10};
  line.m_ptSecond = {70, 40};
  bench.GrabHandle(line, 12, 11);
  EXPECT_EQ(bench.view.m_nHandle, 1);
  EXPECT_TRUE(bench.view.m_bHandleGrabbed);
  EXPECT_EQ(bench.view.m_nMode, kModeResize);
  EXPECT_EQ(line.m_ptFirst, (CPoint{70, 40}));
  EXPECT_EQ(line.m_ptSecond, (CPoint{12, 11}));
  bench.DragTo(line, 5, 30);
  EXPECT_EQ(line.m_ptSecond, (CPoint{5, 30}));
  EXPECT_EQ(bench.view.m_ptTrackB, (CPoint{5, 30}));
  EXPECT_EQ(line.m_ptFirst, (CPoint{70, 40}));
}

TEST(LineUnit, APressOnTheBodyTogglesTheActivation) {
  test::UnitBench bench;
  CDLine line;
  line.m_ptFirst = {10, 50};
  line.m_ptSecond = {100, 50};
  bench.PressOnBody(line, 50, 52);
  EXPECT_TRUE(line.m_bActive);
  EXPECT_TRUE(bench.view.m_bUnitChanged);
  EXPECT_FALSE(bench.view.m_bHandleGrabbed);
  bench.PressOnBody(line, 50, 52);
  EXPECT_FALSE(line.m_bActive);
}

TEST(LineUnit, MovingShiftsBothPointsByTheViewsTrackingStep) {
  test::UnitBench bench;
  CDLine line;
  line.m_ptFirst = {10, 10};
  line.m_ptSecond = {30, 20};
  bench.view.m_bMoving = true;
  bench.view.m_ptTrackB = {50, 50};
  bench.DragTo(line, 53, 46);
  EXPECT_EQ(line.m_ptFirst, (CPoint{13, 6}));
  EXPECT_EQ(line.m_ptSecond, (CPoint{33, 16}));
}

TEST(LineUnit, DrawRestoresTheContextAndDrawShapeTwiceUnderXorErases) {
  test::UnitBench bench;
  CDLine line;
  line.m_crPen = 0x0000FF;
  line.m_nPenStyle = PS_DASH;
  line.m_nBkMode = OPAQUE;
  line.m_crBk = 0x00FF00;
  line.m_nDrawMode = R2_NOT;
  line.m_ptFirst = {5, 5};
  line.m_ptSecond = {90, 60};
  bench.dc.SetROP2(R2_XORPEN);
  bench.dc.SetBkMode(TRANSPARENT);
  bench.dc.SetBkColor(0x123456);
  line.Draw(bench.dc, {});
  EXPECT_FALSE(bench.CanvasIsBlack());
  EXPECT_EQ(bench.dc.GetROP2(), R2_XORPEN);
  EXPECT_EQ(bench.dc.GetBkMode(), TRANSPARENT);
  EXPECT_EQ(bench.dc.GetBkColor(), 0x123456u);

  bench.canvas.Fill(0);
  line.DrawShape(bench.dc, 0, 0);
  EXPECT_FALSE(bench.CanvasIsBlack());
  line.DrawShape(bench.dc, 0, 0);
  EXPECT_TRUE(bench.CanvasIsBlack());
}

TEST(RectangleUnits, TheBoxIncludesItsLeftAndTopEdgesOnly) {
  CRectangle rect;
  rect.m_ptFirst = {40, 30};
  rect.m_ptSecond = {10, 10};  // drawn from bottom-right
  EXPECT_TRUE(rect.PtInUnit(10, 10));
  EXPECT_TRUE(rect.PtInUnit(39, 29));
  EXPECT_FALSE(rect.PtInUnit(40, 20));
  EXPECT_FALSE(rect.PtInUnit(20, 30));
  EXPECT_EQ(rect.m_ptFirst, (CPoint{40, 30}));  // a plain rectangle keeps its points

  CRoundRectangle round;
  round.m_ptFirst = {40, 30};
  round.m_ptSecond = {10, 10};
  EXPECT_TRUE(round.PtInUnit(10, 10));
  EXPECT_EQ(round.m_ptFirst, (CPoint{40, 30}));  // nor does a rounded one, whose corners the view orders
  EXPECT_EQ(round.HitHandle(10, 10), 3);

  CRectangle dot;
  dot.m_ptFirst = dot.m_ptSecond = {5, 5};
  EXPECT_FALSE(dot.PtInUnit(5, 5));
  EXPECT_EQ(dot.HitHandle(5, 5), 1);
}

TEST(RectangleUnits, CornerSquaresAreBuiltAroundTheMouse) {
  CRectangle rect;
  rect.m_ptFirst = {50, 50};
  rect.m_ptSecond = {90, 80};
  // t = 10: the corner is hit for mouse x in 41 .. 60.
  EXPECT_EQ(rect.HitHandle(41, 41), 1);
  EXPECT_EQ(rect.HitHandle(60, 60), 1);
  EXPECT_EQ(rect.HitHandle(40, 50), 0);
  EXPECT_EQ(rect.HitHandle(61, 50), 0);
  EXPECT_EQ(rect.HitHandle(95, 45), 2);
  EXPECT_EQ(rect.HitHandle(95, 85), 3);
  EXPECT_EQ(rect.HitHandle(45, 85), 4);

  CRoundRectangle round;
  round.m_ptFirst = {50, 50};
  round.m_ptSecond = {90, 80};
  EXPECT_EQ(round.HitHandle(47, 47), 1);
  EXPECT_EQ(round.HitHandle(54, 54), 1);
  EXPECT_EQ(round.HitHandle(46, 50), 0);
  EXPECT_EQ(round.HitHandle(55, 50), 0);

  rect.m_ptSecond = {55, 52};  // overlapping squares resolve in handle order
  EXPECT_EQ(rect.HitHandle(53, 51), 1);
}

TEST(RectangleUnits, AGrabbedCornerMovesAboutTheOppositeOne) {
  const struct {
    CPoint press;
    CPoint fixed;
  } cases[] = {{{10, 10}, {50, 40}}, {{50, 10}, {10, 40}}, {{50, 40}, {10, 10}}, {{10, 40}, {50, 10}}};
  for (const auto& c : cases) {
    test::UnitBench bench;
    CEllipse ellipse;
    ellipse.m_ptFirst = {10, 10};
    ellipse.m_ptSecond = {50, 40};
    bench.GrabHandle(ellipse, c.press.x, c.press.y);
    EXPECT_EQ(ellipse.m_ptFirst, c.fixed);
    EXPECT_EQ(ellipse.m_ptSecond, c.press);
    EXPECT_EQ(bench.view.m_nMode, kModeResize);
    bench.DragTo(ellipse, 70, 70);
    EXPECT_EQ(ellipse.m_ptFirst, c.fixed);
    EXPECT_EQ(ellipse.m_ptSecond, (CPoint{70, 70}));
  }
}

TEST(EllipseUnit, PicksTheInsideOfTheEllipseAndKeepsItsPoints) {
  CEllipse ellipse;
  ellipse.m_ptFirst = {60, 40};
  ellipse.m_ptSecond = {20, 0};
  EXPECT_TRUE(ellipse.PtInUnit(40, 20));
  EXPECT_FALSE(ellipse.PtInUnit(21, 1));  // in the box, outside the ellipse
  EXPECT_EQ(ellipse.m_ptFirst, (CPoint{60, 40}));
  EXPECT_EQ(ellipse.m_ptSecond, (CPoint{20, 0}));
  EXPECT_EQ(ellipse.HitHandle(20, 0), 3);
}

}  // namespace
}  // namespace lumetra
