#include <algorithm>

#include "units/round.h"

#include "platform/archive/archive.h"
#include "units/li_ellipse.h"
#include "units/unit_geometry.h"
#include "units/editing_view.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CRound, 1, false)

CRound::CRound() {
  m_nBrushStyle = BS_HOLLOW;
  m_nHatchStyle = HS_CROSS;
}

void CRound::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  SerializeBrushWithBkMode(ar);
  ar.Transfer(m_ptCenter);
}

void CRound::Draw(CDC& dc, const DrawContext&) const {
  DrawInStyle(dc, RasterOp::Own, BrushUse::Aligned,
              [&] { dc.Ellipse(m_ptFirst.x, m_ptFirst.y, m_ptSecond.x, m_ptSecond.y); });
}

void CRound::DrawShape(CDC& dc, std::int32_t, std::int32_t) {
  DrawInStyle(dc, RasterOp::Callers, BrushUse::Aligned,
              [&] { dc.Ellipse(m_ptFirst.x, m_ptFirst.y, m_ptSecond.x, m_ptSecond.y); });
}

HandleMarks CRound::Handles(std::int64_t reach) const {
  std::array<CPoint, 4> middles = EdgeMiddles(m_ptFirst, m_ptSecond);
  const CPoint centre[] = {m_ptCenter};
  return MarkerHandles(middles, centre, HandleHalf(3, reach));
}

std::int32_t CRound::SetRadiusAt(std::int32_t cx, std::int32_t cy, std::int32_t x, std::int32_t y) {
  const std::int32_t r = TruncatedDistance(std::int64_t(cx) - x, std::int64_t(cy) - y);
  m_ptFirst = SaturatedPoint(std::int64_t(cx) - r, std::int64_t(cy) - r);
  m_ptSecond = SaturatedPoint(std::int64_t(cx) + r, std::int64_t(cy) + r);
  return 0;
}

std::int32_t CRound::FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) {
  const CRect box = BoxRect();
  std::array<CPoint, 4> middles = EdgeMiddles(box.TopLeft(), box.BottomRight());
  const CPoint handles[] = {middles[0], middles[1], middles[2], middles[3], m_ptCenter};
  return HitHandleAroundMouse(handles, x, y, std::min<std::int64_t>(4, reach));
}

bool CRound::PtInUnit(std::int32_t x, std::int32_t y) {
  const CRect box = BoxRect();
  return InEllipseRing(box.TopLeft(), box.BottomRight(), x, y);
}

// A centre grab leaves the tracking points at the press point, so the move
// follows the mouse from there.
void CRound::OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) {
  const auto centreMoves = [](std::int32_t handle) -> std::optional<std::int32_t> {
    return handle == 5 ? kModeMoveByHandle : kModeResize;
  };
  if (GrabHandle(view, x, y, kToolRound, centreMoves) && view.m_nMode == kModeResize) {
    view.m_ptTrackA = m_ptFirst;
    view.m_ptTrackB = m_ptSecond;
  }
  if (!view.m_bHandleGrabbed) {
    ToggleIfPicked(dc, view, x, y, ShowHandles::Yes);
    return;
  }
  FinishGrab(dc, view);
}

void CRound::OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) {
  if (FollowBodyMove(view)) return;
  if (view.m_nMode == kModeMoveByHandle) {
    const CPoint step = TakeMouseStep(view, x, y);
    Translate(step.x, step.y);
    return;
  }
  DrawShape(dc, 0, 0);
  SetRadiusAt(m_ptCenter.x, m_ptCenter.y, x, y);
  view.m_ptTrackB = {x, y};
  DrawShape(dc, 0, 0);
}

void CRound::Translate(std::int32_t dx, std::int32_t dy) {
  CUnit::Translate(dx, dy);
  m_ptCenter = Offset(m_ptCenter, {dx, dy});
}

std::unique_ptr<CUnit> CRound::Clone() const { return CloneOf(*this); }

CRect CRound::Bounds() const {
  return BoundsInStyle(
      [&](const CDC& dc) { return dc.EllipseBounds(m_ptFirst.x, m_ptFirst.y, m_ptSecond.x, m_ptSecond.y); });
}

}  // namespace lumetra
