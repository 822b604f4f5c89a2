// Documents may hold any 32-bit values. Units with extreme geometry or pens
// must still draw, pick and drag without overflowing or stalling.

#include <gtest/gtest.h>

#include <climits>

#include "support/sample_units.h"
#include "support/unit_bench.h"

namespace lumetra {
namespace {

void Extreme(CUnit& unit, int variant) {
  const std::int32_t big = variant % 2 ? INT32_MAX : INT32_MIN;
  const std::int32_t opposite = variant % 2 ? INT32_MIN : INT32_MAX;
  unit.m_ptFirst = {big, opposite / 2};
  unit.m_ptSecond = {opposite, big};
  unit.m_nPenWidth = variant % 3 ? INT32_MAX : INT32_MIN;
  unit.m_nPenStyle = variant % 7;
  unit.m_nBrushStyle = BS_HATCHED;
  unit.m_nHatchStyle = 77;
  unit.m_nDrawMode = 999;
  const CPoint centre{opposite, 3};
  const std::int32_t radius = variant % 2 ? INT32_MAX : 200000;
  const double cos = variant % 2 ? 1e300 : 0.6, sin = variant % 2 ? -1e300 : 0.8;
  const CPointArray path{{big, big}, {opposite, 0}, {0, opposite}};
  if (auto* ellipse = ObjectCast<CEllipse>(&unit)) {
    ellipse->m_ptCenter = centre;
    ellipse->m_nRadius1 = ellipse->m_nRadius2 = radius;
    ellipse->m_dCos = cos;
    ellipse->m_dSin = sin;
  }
  if (auto* arc = ObjectCast<CEllipseArc>(&unit)) {
    arc->m_ptCenter = centre;
    arc->m_ptArcStart = {big, big};
    arc->m_nRadius1 = arc->m_nRadius2 = radius;
    arc->m_dCos = cos;
    arc->m_dSin = sin;
    arc->m_bAngleSet = true;
    arc->m_dAngle1 = 10;
    arc->m_dAngle2 = 350;
  }
  if (auto* round = ObjectCast<CRound>(&unit)) round->m_ptCenter = centre;
  if (auto* arc = ObjectCast<CRoundArc>(&unit)) {
    arc->m_ptThird = {big, 7};
    arc->m_ptCenter = centre;
    arc->m_nRadius1 = radius;
  }
  if (auto* polygon = ObjectCast<CPolygon>(&unit)) polygon->m_aPoints = path;
  if (auto* curve = ObjectCast<CCurve>(&unit)) curve->m_aPoints = path;
  if (auto* bezier = ObjectCast<CPolyBezier>(&unit)) {
    bezier->m_aPoints = {{big, big}, {opposite, 0}, {0, opposite}, {big, 1}};
  }
}

TEST(ExtremeValues, UnitsDrawPickAndDragWithoutOverflowOrStall) {
  // A stall shows as the test's time limit running out.
  for (int variant = 0; variant < 4; ++variant) {
    for (auto& unit : test::OneUnitOfEveryClass()) {
      SCOPED_TRACE(std::string(unit->GetRuntimeClass().name) + " variant " + std::to_string(variant));
      Extreme(*unit, variant);
      test::UnitBench bench;
      unit->Draw(bench.dc, {});
      unit->DrawShape(bench.dc, INT32_MAX, INT32_MIN);
      unit->DrawHandles(bench.dc);
      unit->PtInUnit(10, 10);
      unit->PtInUnit(INT32_MAX, INT32_MIN);
      unit->HitHandle(INT32_MIN, INT32_MAX);
      unit->GetBoundRect();
      bench.GrabHandle(*unit, INT32_MAX, INT32_MAX);
      bench.DragTo(*unit, INT32_MIN, INT32_MIN);
      bench.view.m_nMode = kModeMoveByHandle;
      bench.DragTo(*unit, INT32_MAX, INT32_MAX);
    }
  }
}

TEST(ExtremeValues, CircularArcThroughFarApartPointsStaysDefined) {
  test::UnitBench bench;
  CRoundArc arc;
  arc.m_ptFirst = {INT32_MIN, INT32_MIN};
  arc.m_ptSecond = {INT32_MAX, INT32_MAX};
  arc.m_ptThird = {INT32_MIN, INT32_MAX};
  bench.view.m_nMode = kModeResize;
  CPoint* const handles[] = {&arc.m_ptFirst, &arc.m_ptSecond, &arc.m_ptThird};
  for (int handle = 1; handle <= 3; ++handle) {
    bench.view.m_nHandle = handle;
    bench.DragTo(arc, INT32_MAX, INT32_MIN);
    EXPECT_EQ(*handles[handle - 1], (CPoint{INT32_MAX, INT32_MIN})) << handle;
    bench.DragTo(arc, 0, 0);
    EXPECT_EQ(*handles[handle - 1], (CPoint{0, 0})) << handle;
    EXPECT_GE(arc.m_nRadius1, 0) << handle;
  }
  arc.DrawHandles(bench.dc);
}

}  // namespace
}  // namespace lumetra
