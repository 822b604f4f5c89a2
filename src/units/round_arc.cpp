#include "units/round_arc.h"

#include <cstdlib>

#include "platform/archive/archive.h"
#include "units/unit_geometry.h"
#include "units/editing_view.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CRoundArc, 1, false)

void CRoundArc::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  ar.TransferEach(m_ptThird, m_nRadius1, m_ptCenter);
}

CRect CRoundArc::CircleBox() const {
  const std::int64_t r = m_nRadius1, cx = m_ptCenter.x, cy = m_ptCenter.y;
  return {SaturateToInt(cx - r), SaturateToInt(cy - r), SaturateToInt(cx + r), SaturateToInt(cy + r)};
}

// Arc paints no interior, so no brush is involved.
void CRoundArc::Paint(CDC& dc) const {
  const CRect box = CircleBox();
  dc.Arc(box.left, box.top, box.right, box.bottom, m_ptFirst.x, m_ptFirst.y, m_ptThird.x, m_ptThird.y);
}

void CRoundArc::Draw(CDC& dc, const DrawContext&) const { DrawInStyle(dc, RasterOp::Own, BrushUse::None, [&] { Paint(dc); }); }

void CRoundArc::DrawShape(CDC& dc, std::int32_t, std::int32_t) {
  if (m_nRadius1 == 0) return;
  DrawInStyle(dc, RasterOp::Callers, BrushUse::None, [&] { Paint(dc); });
}

namespace {
// A flat chord has an upright bisector; each bisector stands in its own huge slope for it.
constexpr double kFirstFlatSlope = -9999999999999.0;
constexpr double kSecondFlatSlope = -999999999.0;

// The slope of the perpendicular bisector of the chord from a to b.
double BisectorSlope(CPoint a, CPoint b, double flatSlope) {
  if (a.y == b.y) return flatSlope;
  return -double(std::int64_t(a.x) - b.x) / double(std::int64_t(a.y) - b.y);
}
}  // namespace

double CRoundArc::FirstChordBisector(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  const double k = BisectorSlope({x1, y1}, {x2, y2}, kFirstFlatSlope);
  m_ptCenter = Midpoint({x1, y1}, {x2, y2});
  m_nRadius1 = 0;
  return k;
}

bool CRoundArc::PointsOnOneLine() const {
  const std::int64_t ax = std::int64_t(m_ptSecond.x) - m_ptFirst.x, ay = std::int64_t(m_ptSecond.y) - m_ptFirst.y;
  const std::int64_t bx = std::int64_t(m_ptThird.x) - m_ptSecond.x, by = std::int64_t(m_ptThird.y) - m_ptSecond.y;
  return __int128(ax) * by == __int128(ay) * bx;  // the products need up to 65 bits
}

// Where the bisectors of the chords P1P2 (slope k1) and P2P3 (slope k2)
// meet. k1 comes from the first two points themselves, so that any arc, a
// loaded one too, reshapes on its own circle. Three points on one
// line have no such circle (the bisectors are parallel, or for a flat line
// the two stand-in slopes meet far off the canvas); the circle then stays as
// it was.
double CRoundArc::SecondChordBisector(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  const double k2 = BisectorSlope({x1, y1}, {x2, y2}, kSecondFlatSlope);
  const double k1 = BisectorSlope(m_ptFirst, m_ptSecond, kFirstFlatSlope);
  const double d = k2 - k1;
  if (d == 0 || PointsOnOneLine()) return k2;
  const std::int64_t px1 = m_ptFirst.x, py1 = m_ptFirst.y, px2 = m_ptSecond.x, py2 = m_ptSecond.y;
  const std::int64_t px3 = m_ptThird.x, py3 = m_ptThird.y;
  const std::int32_t cx =
      TruncToInt((double((py1 - py3) / 2) - 0.5 * k1 * double(px1 + px2) + 0.5 * k2 * double(px2 + px3)) / d);
  const std::int32_t cy =
      TruncToInt((double((py1 + py2) / 2) * k2 - double((py2 + py3) / 2) * k1 + 0.5 * k1 * k2 * double(px3 - px1)) / d);
  m_ptCenter = {cx, cy};
  m_nRadius1 = TruncatedDistance(std::int64_t(cx) - px3, std::int64_t(cy) - py3);
  return k2;
}

CRect CRoundArc::Extent() const {
  const CPoint points[] = {m_ptFirst, m_ptSecond, m_ptThird};
  return BoundsOf(points);
}

HandleMarks CRoundArc::Handles(std::int64_t reach) const {
  const CPoint points[] = {m_ptFirst, m_ptSecond, m_ptThird};
  const CPoint centre[] = {m_ptCenter};
  return MarkerHandles(points, centre, HandleHalf(3, reach));
}

std::int32_t CRoundArc::FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) {
  const CPoint handles[] = {m_ptFirst, m_ptSecond, m_ptThird, m_ptCenter};
  return HitHandleAroundMouse(handles, x, y, std::min<std::int64_t>(4, reach));
}

bool CRoundArc::PtInUnit(std::int32_t x, std::int32_t y) {
  const std::int64_t distance = TruncatedDistance(std::int64_t(x) - m_ptCenter.x, std::int64_t(y) - m_ptCenter.y);
  return std::llabs(distance - m_nRadius1) < 3;
}

// A centre grab leaves the tracking points at the press point, so the move
// follows the mouse from there.
void CRoundArc::OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) {
  const auto centreMoves = [](std::int32_t handle) -> std::optional<std::int32_t> {
    return handle == 4 ? kModeMoveByHandle : kModeResize;
  };
  if (GrabHandle(view, x, y, kToolRoundArc, centreMoves)) {
    if (view.m_nMode == kModeResize) {
      view.m_ptTrackA = m_ptFirst;
      view.m_ptTrackB = m_ptSecond;
    }
    FinishGrab(dc, view);
  }
  ToggleIfPicked(dc, view, x, y, ShowHandles::Yes);
}

// A drag that starts on the circle moves the whole arc, as a centre-handle
// drag does. Each erase-and-paint pair runs in XOR, and the DC's raster
// operation comes back afterwards.
void CRoundArc::OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) {
  if (FollowBodyMove(view)) return;
  if (view.m_nMode == kModeMoveByHandle) {
    const CPoint step = TakeMouseStep(view, x, y);
    Translate(step.x, step.y);
    return;
  }
  DCStateGuard restore(dc);
  dc.SetROP2(R2_XORPEN);
  if (view.m_nMode != kModeResize) {
    if (view.m_nClickCount == 1) {
      view.m_ptTrackB = {x, y};
    } else if (view.m_nClickCount == 2) {
      DrawShape(dc, 0, 0);
      m_ptThird = {x, y};
      SecondChordBisector(m_ptSecond.x, m_ptSecond.y, x, y);
      DrawShape(dc, 0, 0);
    }
    return;
  }
  DrawShape(dc, 0, 0);
  // Points that fall on one line leave the circle as it was before this step.
  const CPoint keptCentre = m_ptCenter;
  const std::int32_t keptRadius = m_nRadius1;
  switch (view.m_nHandle) {
    case 1:
      m_ptFirst = {x, y};
      FirstChordBisector(x, y, m_ptSecond.x, m_ptSecond.y);
      SecondChordBisector(m_ptSecond.x, m_ptSecond.y, m_ptThird.x, m_ptThird.y);
      break;
    case 2:
      m_ptSecond = {x, y};
      FirstChordBisector(m_ptFirst.x, m_ptFirst.y, x, y);
      SecondChordBisector(x, y, m_ptThird.x, m_ptThird.y);
      break;
    case 3:
      m_ptThird = {x, y};
      SecondChordBisector(m_ptSecond.x, m_ptSecond.y, x, y);
      break;
    default:
      break;
  }
  if (PointsOnOneLine()) {
    m_ptCenter = keptCentre;
    m_nRadius1 = keptRadius;
  }
  DrawShape(dc, 0, 0);
  view.m_ptTrackB = {x, y};
}

void CRoundArc::Translate(std::int32_t dx, std::int32_t dy) {
  CUnit::Translate(dx, dy);
  m_ptThird = Offset(m_ptThird, {dx, dy});
  m_ptCenter = Offset(m_ptCenter, {dx, dy});
}

std::unique_ptr<CUnit> CRoundArc::Clone() const { return CloneOf(*this); }

CRect CRoundArc::Bounds() const {
  const CRect box = CircleBox();
  return BoundsInStyle([&](const CDC& dc) {
    return dc.ArcBounds(box.left, box.top, box.right, box.bottom, m_ptFirst.x, m_ptFirst.y, m_ptThird.x, m_ptThird.y);
  });
}

}  // namespace lumetra
