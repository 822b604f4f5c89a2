#include <algorithm>

#include "units/li_ellipse.h"

#include "units/unit_geometry.h"
#include "units/editing_view.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CLiEllipse, 1, false)

std::array<CPoint, 4> EdgeMiddles(CPoint first, CPoint second) {
  auto half = [](std::int64_t from, std::int64_t to) { return std::int32_t(from + (to - from) / 2); };
  return {CPoint{half(first.x, second.x), first.y}, CPoint{second.x, half(first.y, second.y)},
          CPoint{half(second.x, first.x), second.y}, CPoint{first.x, half(second.y, first.y)}};
}

bool InEllipseRing(CPoint topLeft, CPoint bottomRight, std::int32_t x, std::int32_t y) {
  auto grown = [&](std::int64_t by) {
    return CRgn::CreateEllipticRgn(SaturateToInt(topLeft.x - by), SaturateToInt(topLeft.y - by),
                                   SaturateToInt(bottomRight.x + by), SaturateToInt(bottomRight.y + by));
  };
  return grown(4).PtInRegion(x, y) && !grown(-4).PtInRegion(x, y);
}

void CLiEllipse::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  SerializeBrushWithBkMode(ar);
}

void CLiEllipse::Draw(CDC& dc, const DrawContext&) const {
  DrawInStyle(dc, RasterOp::Own, BrushUse::Aligned,
              [&] { dc.Ellipse(m_ptFirst.x, m_ptFirst.y, m_ptSecond.x, m_ptSecond.y); });
}

void CLiEllipse::DrawShape(CDC& dc, std::int32_t, std::int32_t) {
  DrawInStyle(dc, RasterOp::Callers, BrushUse::Aligned,
              [&] { dc.Ellipse(m_ptFirst.x, m_ptFirst.y, m_ptSecond.x, m_ptSecond.y); });
}

HandleMarks CLiEllipse::Handles(std::int64_t reach) const { return OutlineHandles(BoxCornersForDrawing(), HandleHalf(4, reach)); }

std::int32_t CLiEllipse::FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) {
  std::array<CPoint, 4> middles = EdgeMiddles(m_ptFirst, m_ptSecond);
  const CPoint handles[] = {middles[0], middles[1], middles[2], middles[3], Midpoint(m_ptFirst, m_ptSecond)};
  return HitHandleAroundMouse(handles, x, y, std::min<std::int64_t>(4, reach));
}

bool CLiEllipse::PtInUnit(std::int32_t x, std::int32_t y) {
  const CRect box = BoxRect();
  return InEllipseRing(box.TopLeft(), box.BottomRight(), x, y);
}

// The unit's points stay as they are; the tracking points tell the drag which
// corner is fixed. A centre grab leaves them at the press point, so the move
// follows the mouse from there.
void CLiEllipse::OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) {
  const auto centreMoves = [](std::int32_t handle) -> std::optional<std::int32_t> {
    return handle == 5 ? kModeMoveByHandle : kModeResize;
  };
  if (GrabHandle(view, x, y, kToolLiEllipse, centreMoves) && view.m_nMode == kModeResize) {
    // The view tracks from the side opposite the grabbed one to the grabbed one.
    const bool firstSide = view.m_nHandle == 1 || view.m_nHandle == 4;
    view.m_ptTrackA = firstSide ? m_ptSecond : m_ptFirst;
    view.m_ptTrackB = firstSide ? m_ptFirst : m_ptSecond;
  }
  if (!view.m_bHandleGrabbed) {
    ToggleIfPicked(dc, view, x, y, ShowHandles::Yes);
    return;
  }
  FinishGrab(dc, view);
}

void CLiEllipse::OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) {
  if (FollowBodyMove(view)) return;
  if (view.m_nMode == kModeMoveByHandle) {
    const CPoint step = TakeMouseStep(view, x, y);
    Translate(step.x, step.y);
    return;
  }
  DrawShape(dc, 0, 0);
  view.m_ptTrackB = {x, y};
  m_ptSecond = {x, y};
  DrawShape(dc, 0, 0);
}

std::unique_ptr<CUnit> CLiEllipse::Clone() const { return CloneOf(*this); }

CRect CLiEllipse::Bounds() const {
  return BoundsInStyle(
      [&](const CDC& dc) { return dc.EllipseBounds(m_ptFirst.x, m_ptFirst.y, m_ptSecond.x, m_ptSecond.y); });
}

}  // namespace lumetra
