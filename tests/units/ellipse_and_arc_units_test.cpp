// The turned-ellipse rasteriser, the outline-picked ellipse and circle, and
// both arcs: their geometry, handles and drags.

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <vector>

#include "support/unit_bench.h"
#include "units/ellipse.h"
#include "units/ellipse_arc.h"
#include "units/li_ellipse.h"
#include "units/pixel_plot.h"
#include "units/round.h"
#include "units/round_arc.h"

namespace lumetra {
namespace {

std::vector<CPoint> WalkOffsets(int a, int b) {
  std::vector<CPoint> offsets;
  WalkMidpointEllipse(a, b, [&](std::int64_t dx, std::int64_t dy) { offsets.push_back({int(dx), int(dy)}); });
  return offsets;
}

std::vector<CPoint> LitPixels(const Bitmap32& canvas) {
  std::vector<CPoint> lit;
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      if ((canvas.At(x, y) & 0xFFFFFF) != 0) lit.push_back({x, y});
    }
  }
  return lit;
}

TEST(TurnedEllipse, TheMidpointWalkVisitsTheQuadrantInOrder) {
  EXPECT_EQ(WalkOffsets(4, 4), (std::vector<CPoint>{{0, 4}, {1, 4}, {2, 3}, {3, 3}, {3, 2}, {4, 1}, {4, 0}}));
  EXPECT_EQ(WalkOffsets(5, 3), (std::vector<CPoint>{{0, 3}, {1, 3}, {2, 3}, {3, 2}, {4, 2}, {5, 1}, {5, 0}}));
  EXPECT_EQ(WalkOffsets(3, 2), (std::vector<CPoint>{{0, 2}, {1, 2}, {2, 1}, {3, 0}}));
  EXPECT_EQ(WalkOffsets(7, 0), (std::vector<CPoint>{{0, 0}}));
  EXPECT_EQ(WalkOffsets(0, 3), (std::vector<CPoint>{{0, 3}, {0, 2}, {0, 1}, {0, 0}}));
  EXPECT_TRUE(WalkOffsets(1 << 30, 5).empty());  // far beyond any canvas
}

TEST(TurnedEllipse, AxisDirectionsAndTheirSignRules) {
  CEllipse ellipse;
  ellipse.SetAxisDirection(10, 10, 10, 50);  // vertical
  const double q = std::sqrt(9999999999999.0 * 9999999999999.0 + 1);
  EXPECT_DOUBLE_EQ(ellipse.m_dCos, 9999999999999.0 / q);
  EXPECT_DOUBLE_EQ(ellipse.m_dSin, -1 / q);
  EXPECT_EQ(ellipse.m_ptSecond, (CPoint{10, 50}));
  ellipse.SetAxisDirection(10, 10, 50, 10);  // flat: the ellipse turns by -90 degrees
  EXPECT_EQ(ellipse.m_dCos, 0.0);
  EXPECT_EQ(ellipse.m_dSin, -1.0);

  CEllipseArc arc;
  arc.SetAxisDirection(10, 10, 50, 10);  // the arc counts a flat axis with the falling ones
  EXPECT_EQ(arc.m_dSin, 1.0);
  arc.SetAxisDirection(0, 0, 10, 10);
  EXPECT_DOUBLE_EQ(arc.m_dCos, 1 / std::sqrt(2.0));
  EXPECT_DOUBLE_EQ(arc.m_dSin, -1 / std::sqrt(2.0));
}

TEST(TurnedEllipse, RadiiAreTruncatedDistances) {
  CEllipse ellipse;
  ellipse.SetRadius1(0, 0, 3, 4);
  ellipse.SetRadius2(0, 0, 2, 2);
  EXPECT_EQ(ellipse.m_nRadius1, 5);
  EXPECT_EQ(ellipse.m_nRadius2, 2);

  CEllipseArc arc;
  arc.m_nRadius1 = 9;
  arc.SetRadius2(0, 0, 0, 7);
  EXPECT_EQ(arc.m_nRadius2, 7);
  EXPECT_EQ(arc.m_nRadius1, 0);
}

TEST(TurnedEllipse, PenWidthsBecomeDiagonalRuns) {
  test::UnitBench bench;
  CEllipse ellipse;
  ellipse.m_dCos = 1;
  ellipse.m_nPenWidth = 3;
  ellipse.PlotPoint(bench.dc, 20, 30, 0x0000FF);
  EXPECT_EQ(LitPixels(bench.canvas), (std::vector<CPoint>{{22, 28}, {21, 29}, {20, 30}}));

  bench.canvas.Fill(0);
  CEllipseArc arc;
  arc.m_dCos = 1;
  arc.m_nPenWidth = 2;
  arc.PlotPoint(bench.dc, 20, 30, 0x0000FF);
  EXPECT_EQ(LitPixels(bench.canvas), (std::vector<CPoint>{{20, 30}, {21, 31}}));

  bench.canvas.Fill(0);
  ellipse.m_nPenWidth = 0;
  ellipse.PlotPoint(bench.dc, 20, 30, 0x0000FF);
  EXPECT_TRUE(bench.CanvasIsBlack());
}

TEST(TurnedEllipse, TurnedPointsRoundHalfUp) {
  test::UnitBench bench;
  CEllipse ellipse;
  ellipse.m_ptCenter = {50, 50};
  ellipse.m_dCos = std::cos(0.5);
  ellipse.m_dSin = std::sin(0.5);
  ellipse.PlotPoint(bench.dc, 60, 50, 0xFFFFFF);
  // (50 + 10 cos 0.5, 50 + 10 sin 0.5) = (58.78, 54.79)
  EXPECT_EQ(LitPixels(bench.canvas), (std::vector<CPoint>{{59, 55}}));
}

TEST(TurnedEllipse, TheBoundingRectangleHoldsTheTurnedCorners) {
  CEllipse ellipse;
  ellipse.m_ptCenter = {50, 50};
  ellipse.m_nRadius1 = 20;
  ellipse.m_nRadius2 = 10;
  ellipse.m_dCos = 0;
  ellipse.m_dSin = -1;  // a quarter turn
  EXPECT_EQ(ellipse.GetBoundRect(), (CRect{40, 30, 60, 70}));
}

TEST(EllipseUnit, ItsRotateMenuShowsOnlyWhileDraggedByAHandle) {
  struct Host : ViewHost {
    std::vector<PopupMenuRequest> shown;
    void ShowPopupMenu(const PopupMenuRequest& r) override { shown.push_back(r); }
  } host;
  CTessaraView view;
  view.SetHost(&host);
  CEllipse ellipse;
  view.m_nMode = kModeSelect;
  ellipse.ShowContextMenu(view, 100, 200);
  EXPECT_TRUE(host.shown.empty());
  view.m_nMode = kModeMoveByHandle;
  ellipse.ToggleRotate(0, 0);
  ellipse.ShowContextMenu(view, 100, 200);
  ASSERT_EQ(host.shown.size(), 1u);
  EXPECT_EQ(host.shown[0].menuId, kMenuCanvasEdit);
  EXPECT_EQ(host.shown[0].screenPoint, (CPoint{100, 200}));
  ASSERT_EQ(host.shown[0].itemStates.size(), 1u);
  EXPECT_EQ(host.shown[0].itemStates[0].command, kCmdRotate);
  EXPECT_TRUE(host.shown[0].itemStates[0].checked);
}

TEST(OutlinePickedEllipses, OnlyARingAroundTheOutlineSelects) {
  CLiEllipse ellipse;
  ellipse.m_ptFirst = {80, 60};
  ellipse.m_ptSecond = {20, 20};
  EXPECT_FALSE(ellipse.PtInUnit(50, 40));  // the centre
  EXPECT_TRUE(ellipse.PtInUnit(20, 40));   // on the outline
  EXPECT_TRUE(ellipse.PtInUnit(17, 40));
  EXPECT_FALSE(ellipse.PtInUnit(14, 40));
  EXPECT_EQ(ellipse.m_ptFirst, (CPoint{80, 60}));  // picking keeps the points

  CRound circle;
  circle.m_ptCenter = {50, 50};
  circle.SetRadiusAt(50, 50, 50, 30);
  EXPECT_EQ(circle.m_ptFirst, (CPoint{30, 30}));
  EXPECT_EQ(circle.m_ptSecond, (CPoint{70, 70}));
  EXPECT_FALSE(circle.PtInUnit(50, 50));
  EXPECT_TRUE(circle.PtInUnit(50, 31));

  circle.SetRadiusAt(50, 50, 50, 50);
  EXPECT_EQ(circle.m_ptFirst, circle.m_ptSecond);
}

TEST(OutlinePickedEllipses, HandlesSitAtTheEdgeMiddlesAndTheCentre) {
  CLiEllipse ellipse;
  ellipse.m_ptFirst = {10, 10};
  ellipse.m_ptSecond = {21, 31};  // odd sizes: handles 1 and 3 differ in x
  EXPECT_EQ(EdgeMiddles(ellipse.m_ptFirst, ellipse.m_ptSecond),
            (std::array<CPoint, 4>{{{15, 10}, {21, 20}, {16, 31}, {10, 21}}}));
  EXPECT_EQ(ellipse.HitHandle(15, 10), 1);
  // Found only when x - 4 <= hx < x + 4, i.e. for x in 12 .. 19.
  EXPECT_EQ(ellipse.HitHandle(12, 10), 1);
  EXPECT_EQ(ellipse.HitHandle(19, 10), 1);
  EXPECT_EQ(ellipse.HitHandle(11, 10), 0);
  EXPECT_EQ(ellipse.HitHandle(20, 10), 0);
  EXPECT_EQ(ellipse.HitHandle(10, 10), 0);  // the drawn corner square is no handle
  EXPECT_EQ(ellipse.HitHandle(15, 20), 5);
  EXPECT_EQ(ellipse.m_ptHandle, (CPoint{15, 20}));

  CRound circle;
  circle.m_ptFirst = {70, 70};
  circle.m_ptSecond = {30, 30};
  circle.m_ptCenter = {51, 49};
  EXPECT_EQ(circle.HitHandle(51, 49), 5);  // the centre field, not the box middle
  EXPECT_EQ(circle.HitHandle(50, 30), 1);  // the edges of the box in corner order
  EXPECT_EQ(circle.m_ptFirst, (CPoint{70, 70}));
}

TEST(OutlinePickedEllipses, AnEdgeDragMovesTheSecondPoint) {
  test::UnitBench bench;
  CLiEllipse ellipse;
  ellipse.m_ptFirst = {10, 10};
  ellipse.m_ptSecond = {50, 40};
  bench.GrabHandle(ellipse, 30, 10);  // handle 1
  EXPECT_EQ(bench.view.m_nMode, kModeResize);
  EXPECT_EQ(bench.view.m_nTool, kToolLiEllipse);
  EXPECT_EQ(bench.view.m_pCurUnit, &ellipse);
  EXPECT_EQ(bench.view.m_ptTrackA, (CPoint{50, 40}));
  bench.DragTo(ellipse, 60, 45);
  EXPECT_EQ(ellipse.m_ptFirst, (CPoint{10, 10}));
  EXPECT_EQ(ellipse.m_ptSecond, (CPoint{60, 45}));
}

TEST(OutlinePickedEllipses, ACircleDragKeepsItsCentre) {
  test::UnitBench bench;
  CRound circle;
  circle.m_ptCenter = {50, 50};
  circle.SetRadiusAt(50, 50, 60, 50);
  bench.GrabHandle(circle, 60, 50);  // handle 2
  EXPECT_EQ(bench.view.m_nTool, kToolRound);
  bench.DragTo(circle, 50, 80);
  EXPECT_EQ(circle.m_ptFirst, (CPoint{20, 20}));
  EXPECT_EQ(circle.m_ptCenter, (CPoint{50, 50}));
}

TEST(CentreHandleDrags, FollowTheMouseStepByStep) {
  auto check = [](CUnit& unit, CPoint centre, auto points) {
    test::UnitBench bench;
    bench.GrabHandle(unit, centre.x, centre.y);
    ASSERT_EQ(bench.view.m_nMode, kModeMoveByHandle) << unit.GetRuntimeClass().name;
    auto before = points();
    bench.DragTo(unit, centre.x + 5, centre.y - 3);
    bench.DragTo(unit, centre.x + 7, centre.y + 2);
    auto after = points();
    for (std::size_t i = 0; i < before.size(); ++i) {
      EXPECT_EQ(after[i], (before[i] + CPoint{7, 2})) << unit.GetRuntimeClass().name << " point " << i;
    }
  };
  CLiEllipse ellipse;
  ellipse.m_ptFirst = {10, 10};
  ellipse.m_ptSecond = {50, 40};
  check(ellipse, {30, 25}, [&] { return std::vector<CPoint>{ellipse.m_ptFirst, ellipse.m_ptSecond}; });

  CRound circle;
  circle.m_ptCenter = {50, 50};
  circle.SetRadiusAt(50, 50, 70, 50);
  check(circle, {50, 50},
        [&] { return std::vector<CPoint>{circle.m_ptFirst, circle.m_ptSecond, circle.m_ptCenter}; });

  CEllipseArc arc;
  arc.m_ptCenter = {40, 40};
  arc.m_ptArcStart = {60, 40};
  arc.m_ptArcEnd = {40, 60};
  check(arc, {40, 40}, [&] { return std::vector<CPoint>{arc.m_ptCenter}; });

  CRoundArc roundArc;
  roundArc.m_ptFirst = {0, 10};
  roundArc.m_ptSecond = {10, 0};
  roundArc.m_ptThird = {20, 10};
  roundArc.m_ptCenter = {10, 10};
  roundArc.m_nRadius1 = 10;
  check(roundArc, {10, 10}, [&] {
    return std::vector<CPoint>{roundArc.m_ptFirst, roundArc.m_ptSecond, roundArc.m_ptThird, roundArc.m_ptCenter};
  });
}

TEST(EllipticArc, AnglesUseTheProgramsDegreeFactor) {
  CEllipseArc arc;
  arc.m_ptCenter = {50, 50};
  arc.SetAngle1At(80, 50);
  EXPECT_TRUE(arc.m_bAngleSet);
  EXPECT_EQ(arc.m_dAngle1, 0.0);
  arc.SetAngle1At(20, 50);
  EXPECT_EQ(arc.m_dAngle1, 180.0);
  const double straightDown = std::atan(1e18) * 57.29577866666166;
  arc.SetAngle2At(50, 90);
  EXPECT_EQ(arc.m_dAngle2, straightDown);
  EXPECT_NEAR(arc.m_dAngle2, 89.9999986, 1e-6);
  arc.SetAngle2At(50, 50);
  EXPECT_EQ(arc.m_dAngle2, straightDown);
  arc.SetAngle2At(50, 10);
  EXPECT_EQ(arc.m_dAngle2, 360 - straightDown);
  EXPECT_EQ(arc.SetAngle2At(1, 1), (CPoint{0, 0}));
}

TEST(EllipticArc, PlotsOnlyBetweenItsAnglesAndRemembersItsEnds) {
  struct Plot {
    std::set<std::pair<int, int>> lit;
    CPoint start, end;
  };
  auto plot = [](bool angleSet, double a1, double a2) {
    test::UnitBench bench;
    CEllipseArc arc;
    arc.m_ptCenter = {50, 50};
    arc.m_nRadius1 = 30;
    arc.m_nRadius2 = 30;
    arc.m_dCos = 1;
    arc.m_bAngleSet = angleSet;
    arc.m_dAngle1 = a1;
    arc.m_dAngle2 = a2;
    arc.m_crPen = 0xFFFFFF;
    arc.Draw(bench.dc, {});
    arc.TakePlottedEnds();
    Plot result{{}, arc.m_ptArcStart, arc.m_ptArcEnd};
    for (CPoint p : LitPixels(bench.canvas)) result.lit.insert({p.x, p.y});
    return result;
  };
  const Plot whole = plot(false, 0, 0);
  const Plot right = plot(true, 300, 60);
  const Plot left = plot(true, 60, 300);
  for (auto [x, y] : right.lit) EXPECT_GT(x, 50) << x << "," << y;  // 300 .. 60 passes through 0
  for (auto [x, y] : left.lit) EXPECT_LE(x, 65) << x << "," << y;
  std::set<std::pair<int, int>> both = right.lit;
  both.insert(left.lit.begin(), left.lit.end());
  EXPECT_EQ(both, whole.lit);
  // The ends lie 60 degrees either side of the +x axis: cos 60 * 30 = 15.
  EXPECT_EQ(right.start.x, 65);
  EXPECT_LT(right.start.y, 50);
  EXPECT_EQ(right.end.x, 65);
  EXPECT_GT(right.end.y, 50);
  EXPECT_EQ(plot(true, 90, 90).lit.size(), whole.lit.size());
}

TEST(EllipticArc, WithoutAnglesTheWholeEllipseIsPlotted) {
  test::UnitBench bench;
  CEllipseArc arc;
  arc.m_ptCenter = {50, 50};
  arc.m_nRadius2 = 10;
  arc.m_dCos = 1;
  arc.m_crPen = 0xFFFFFF;
  arc.DrawConstruction(bench.dc, 0, 0);
  // No first radius: a vertical segment of 2 r2 + 1 pixels.
  std::vector<CPoint> lit = LitPixels(bench.canvas);
  ASSERT_EQ(lit.size(), 21u);
  EXPECT_EQ(lit.front(), (CPoint{50, 40}));
  EXPECT_EQ(lit.back(), (CPoint{50, 60}));
}

TEST(EllipticArc, AnEndHandleDragMovesThatAngle) {
  test::UnitBench bench;
  CEllipseArc arc;
  arc.m_ptCenter = {50, 50};
  arc.m_nRadius1 = arc.m_nRadius2 = 20;
  arc.m_dCos = 1;
  arc.m_bAngleSet = true;
  arc.m_dAngle1 = 0;
  arc.m_dAngle2 = 90;
  arc.TakePlottedEnds();
  const CPoint start = arc.m_ptArcStart;
  bench.view.m_nClickCount = 2;
  bench.GrabHandle(arc, start.x, start.y);
  ASSERT_EQ(bench.view.m_nHandle, 1);
  EXPECT_EQ(bench.view.m_nMode, kModeResize);
  EXPECT_EQ(bench.view.m_nTool, kToolEllipseArc);
  bench.DragTo(arc, 30, 50);
  EXPECT_EQ(arc.m_dAngle1, 180.0);
  EXPECT_EQ(arc.m_dAngle2, 90.0);
  EXPECT_EQ(bench.view.m_ptTrackB, (CPoint{30, 50}));
}

TEST(EllipticArc, ItsFrameSelectsWhateverTheAngles) {
  CEllipseArc arc;
  arc.m_ptCenter = {50, 50};
  arc.m_nRadius1 = 20;
  arc.m_nRadius2 = 10;
  arc.m_dCos = 1;
  EXPECT_TRUE(arc.PtInUnit(31, 45));
  EXPECT_FALSE(arc.PtInUnit(50, 50));  // inside the inner box
  EXPECT_FALSE(arc.PtInUnit(75, 50));
}

TEST(CircularArc, ChordBisectorsMeetAtTheCentre) {
  CRoundArc arc;
  arc.m_ptFirst = {0, 10};
  arc.m_ptSecond = {10, 0};
  arc.m_ptThird = {20, 10};
  EXPECT_EQ(arc.FirstChordBisector(0, 10, 10, 0), 1.0);
  EXPECT_EQ(arc.m_ptCenter, (CPoint{5, 5}));
  EXPECT_EQ(arc.m_nRadius1, 0);
  EXPECT_EQ(arc.SecondChordBisector(10, 0, 20, 10), -1.0);
  EXPECT_EQ(arc.m_ptCenter, (CPoint{10, 10}));
  EXPECT_EQ(arc.m_nRadius1, 10);

  EXPECT_EQ(arc.FirstChordBisector(0, 5, 10, 5), -9999999999999.0);
  EXPECT_EQ(arc.SecondChordBisector(0, 5, 10, 5), -999999999.0);
}

TEST(CircularArc, PointsOnALineKeepThePreviousCircle) {
  test::UnitBench bench;
  CRoundArc arc;
  arc.m_ptFirst = {0, 10};
  arc.m_ptSecond = {10, 0};
  arc.m_ptThird = {20, 10};
  arc.FirstChordBisector(0, 10, 10, 0);
  arc.SecondChordBisector(10, 0, 20, 10);
  bench.GrabHandle(arc, 10, 0);  // handle 2
  ASSERT_EQ(bench.view.m_nHandle, 2);
  EXPECT_EQ(bench.view.m_nTool, kToolRoundArc);
  bench.DragTo(arc, 10, 10);  // on the line through P1 and P3
  EXPECT_EQ(arc.m_ptSecond, (CPoint{10, 10}));
  EXPECT_EQ(arc.m_ptCenter, (CPoint{10, 10}));
  EXPECT_EQ(arc.m_nRadius1, 10);
  bench.DragTo(arc, 10, 20);
  EXPECT_EQ(arc.m_ptCenter, (CPoint{10, 10}));
  EXPECT_EQ(arc.m_nRadius1, 10);
  bench.DragTo(arc, 10, 16);
  EXPECT_EQ(arc.m_ptCenter, (CPoint{10, 4}));
  EXPECT_EQ(arc.m_nRadius1, 11);
  bench.DragTo(arc, 15, 10);  // flat: the stand-in slopes differ, the points still lie on one line
  EXPECT_EQ(arc.m_ptCenter, (CPoint{10, 4}));
  EXPECT_EQ(arc.m_nRadius1, 11);
}

TEST(CircularArc, PicksNearTheWholeCircleAndDrawsNothingWithoutRadius) {
  test::UnitBench bench;
  CRoundArc arc;
  arc.m_ptCenter = {50, 50};
  arc.m_nRadius1 = 20;
  EXPECT_TRUE(arc.PtInUnit(50, 72));
  EXPECT_FALSE(arc.PtInUnit(50, 73));
  EXPECT_TRUE(arc.PtInUnit(28, 50));
  arc.m_nRadius1 = 0;
  arc.DrawShape(bench.dc, 0, 0);
  EXPECT_TRUE(bench.CanvasIsBlack());
}

}  // namespace
}  // namespace lumetra
