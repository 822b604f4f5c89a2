// The polygon, the Bezier path and the free-hand curve: picking, handles,
// reshaping and moving.

#include <gtest/gtest.h>

#include "support/unit_bench.h"
#include "units/curve.h"
#include "units/poly_bezier.h"
#include "units/polygon.h"

namespace lumetra {
namespace {

CPolygon Triangle() {
  CPolygon polygon;
  polygon.m_aPoints = {{10, 10}, {90, 10}, {50, 80}};
  return polygon;
}

TEST(PolygonUnit, IsPickedNearItsOutlineOnly) {
  CPolygon polygon = Triangle();
  EXPECT_TRUE(polygon.PtInUnit(50, 12));   // near the top edge
  EXPECT_TRUE(polygon.PtInUnit(30, 45));   // near the closing edge V2 -> V0
  EXPECT_FALSE(polygon.PtInUnit(50, 35));  // well inside

  CPolygon empty;
  EXPECT_FALSE(empty.PtInUnit(0, 0));
  test::UnitBench bench;
  empty.Draw(bench.dc, {});
  EXPECT_TRUE(bench.CanvasIsBlack());
}

TEST(PolygonUnit, HandlesAreVerticesThenEdgeMiddlesInTurn) {
  CPolygon polygon = Triangle();
  EXPECT_EQ(polygon.HitHandle(12, 13), 1);
  EXPECT_EQ(polygon.m_nVertex, 0);
  EXPECT_EQ(polygon.HitHandle(6, 6), 1);  // the square is [x - 4, x + 4)
  EXPECT_EQ(polygon.HitHandle(14, 10), 0);
  EXPECT_EQ(polygon.HitHandle(50, 10), -11);  // middle of V0 -> V1
  EXPECT_EQ(polygon.m_ptHandle, (CPoint{50, 10}));
  EXPECT_EQ(polygon.HitHandle(70, 45), -12);  // middle of V1 -> V2
  EXPECT_EQ(polygon.HitHandle(30, 45), 0);    // the closing edge has no handle
  EXPECT_EQ(polygon.HitHandle(50, 80), 3);
  EXPECT_EQ(polygon.m_nVertex, 2);

  polygon.m_aPoints = {{10, 10}, {14, 10}};  // overlapping squares: the first match wins
  EXPECT_EQ(polygon.HitHandle(12, 10), 1);
}

TEST(PolygonUnit, AVertexDragMovesThatVertexOnly) {
  test::UnitBench bench;
  CPolygon polygon = Triangle();
  bench.GrabHandle(polygon, 50, 80);
  EXPECT_EQ(bench.view.m_nMode, kModeResize);
  EXPECT_EQ(bench.view.m_nTool, kToolPolygon);
  EXPECT_EQ(bench.view.m_pCurUnit, &polygon);
  bench.DragTo(polygon, 55, 90);
  EXPECT_EQ(polygon.m_aPoints, (CPointArray{{10, 10}, {90, 10}, {55, 90}}));
  // The scratch points: the first vertex, and the dragged vertex's next neighbour.
  EXPECT_EQ(polygon.m_ptFirst, (CPoint{10, 10}));
  EXPECT_EQ(polygon.m_ptSecond, (CPoint{10, 10}));
}

TEST(PolygonUnit, AnEdgeHandleMovesTheWholeOutlineWithTheMouse) {
  test::UnitBench bench;
  CPolygon polygon = Triangle();
  bench.GrabHandle(polygon, 50, 10);
  ASSERT_EQ(bench.view.m_nMode, kModeMoveByHandle);
  bench.DragTo(polygon, 52, 13);
  bench.DragTo(polygon, 55, 14);
  EXPECT_EQ(polygon.m_aPoints, (CPointArray{{15, 14}, {95, 14}, {55, 84}}));
}

TEST(PolygonUnit, ASelectModeMoveLeavesItInPlace) {
  test::UnitBench bench;
  CPolygon polygon = Triangle();
  bench.view.m_nMode = kModeSelect;
  bench.view.m_bMoving = true;
  bench.view.m_ptTrackB = {50, 12};
  bench.DragTo(polygon, 70, 30);
  EXPECT_EQ(polygon.m_aPoints, Triangle().m_aPoints);
}

TEST(BezierUnit, IsPickedNearItsOnCurvePointsButTheLast) {
  CPolyBezier bezier;
  bezier.m_aPoints = {{10, 10}, {30, 0}, {50, 0}, {100, 60}};
  // P0 counts for mouse positions -9 .. 30 in each direction.
  EXPECT_TRUE(bezier.PtInUnit(30, 30));
  EXPECT_TRUE(bezier.PtInUnit(-9, -9));
  EXPECT_FALSE(bezier.PtInUnit(31, 30));
  EXPECT_FALSE(bezier.PtInUnit(-10, 10));
  EXPECT_FALSE(bezier.PtInUnit(100, 60));  // the end point does not count
  EXPECT_FALSE(bezier.PtInUnit(50, -15));  // nor do the steering points
  EXPECT_EQ(bezier.HitHandle(31, 2), 2);
  EXPECT_EQ(bezier.m_ptHandle, (CPoint{30, 0}));
}

TEST(BezierUnit, AListThatIsNotOfSegmentsDrawsNothing) {
  test::UnitBench bench;
  CPolyBezier bezier;
  bezier.m_crPen = 0xFFFFFF;
  bezier.m_aPoints = {{10, 10}, {30, 0}, {50, 0}, {100, 60}, {20, 90}};
  bezier.Draw(bench.dc, {});
  EXPECT_TRUE(bench.CanvasIsBlack());
  bezier.m_aPoints.pop_back();
  bezier.Draw(bench.dc, {});
  EXPECT_FALSE(bench.CanvasIsBlack());
}

TEST(BezierUnit, AControlPointFollowsTheMouseButTheUnitNeverMoves) {
  test::UnitBench bench;
  CPolyBezier bezier;
  bezier.m_aPoints = {{10, 10}, {30, 0}, {50, 0}, {100, 60}};
  bench.GrabHandle(bezier, 50, 1);
  ASSERT_EQ(bench.view.m_nHandle, 3);
  EXPECT_EQ(bench.view.m_nMode, kModeResize);
  EXPECT_EQ(bench.view.m_nTool, kToolPolyBezier);
  bench.DragTo(bezier, 60, 40);
  EXPECT_EQ(bezier.m_aPoints[2], (CPoint{60, 40}));

  const CPointArray before = bezier.m_aPoints;
  bench.view.m_nMode = kModeSelect;
  bench.view.m_bResizing = false;
  bench.view.m_bMoving = true;
  bench.DragTo(bezier, 80, 80);
  EXPECT_EQ(bezier.m_aPoints, before);
}

TEST(CurveUnit, AClickWithoutMovingLeavesAnEmptyCurvePickedNearThePress) {
  test::UnitBench bench;
  CCurve curve;
  curve.BeginTrace({40, 30});
  EXPECT_TRUE(curve.m_aPoints.empty());
  EXPECT_TRUE(curve.PtInUnit(38, 28));
  EXPECT_TRUE(curve.PtInUnit(41, 31));
  EXPECT_FALSE(curve.PtInUnit(42, 30));
  EXPECT_FALSE(curve.PtInUnit(37, 30));
  curve.Draw(bench.dc, {});
  EXPECT_TRUE(bench.CanvasIsBlack());
}

TEST(CurveUnit, TracingRecordsEveryMoveAndGrowsTheBox) {
  test::UnitBench bench;
  CCurve curve;
  curve.m_crPen = 0xFFFFFF;
  curve.BeginTrace({40, 30});
  bench.view.m_bCreating = true;
  bench.view.m_ptTrackA = bench.view.m_ptTrackB = {40, 30};
  for (CPoint p : {CPoint{45, 32}, CPoint{60, 20}, CPoint{20, 50}}) bench.DragTo(curve, p.x, p.y);
  EXPECT_EQ(curve.m_aPoints, (CPointArray{{45, 32}, {60, 20}, {20, 50}}));
  EXPECT_EQ(curve.GetBoundRect(), (CRect{20, 20, 60, 50}));
  EXPECT_EQ((CRect{curve.m_nMinX, curve.m_nMinY, curve.m_nMaxX, curve.m_nMaxY}), (CRect{20, 20, 60, 50}));
  EXPECT_EQ(curve.HitHandle(20, 20), 0);  // no handles
  EXPECT_TRUE(curve.PtInUnit(58, 48));    // anywhere in the box
  EXPECT_NE(bench.canvas.At(40, 30), 0u);  // the segment from the press point shows while tracing

  bench.view.m_bCreating = false;
  bench.view.m_bMoving = true;
  bench.view.m_ptTrackB = {0, 0};
  bench.DragTo(curve, 5, -5);
  EXPECT_EQ(curve.m_aPoints.front(), (CPoint{50, 27}));
  EXPECT_EQ((CRect{curve.m_nMinX, curve.m_nMinY, curve.m_nMaxX, curve.m_nMaxY}), (CRect{25, 15, 65, 45}));
}

}  // namespace
}  // namespace lumetra
