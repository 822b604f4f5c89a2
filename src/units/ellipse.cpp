#include "units/ellipse.h"

#include <algorithm>

#include "platform/archive/archive.h"
#include "units/pixel_plot.h"
#include "units/unit_geometry.h"
#include "units/editing_view.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CEllipse, 1, false)

void CEllipse::ShowContextMenu(EditingView& view, std::int32_t screenX, std::int32_t screenY) {
  if (view.m_nMode != kModeMoveByHandle) return;
  view.TrackPopupMenu({kMenuCanvasEdit, {screenX, screenY}, {{kCmdRotate, m_bRotate, {}}}});
}

void CEllipse::Paint(CDC& dc) const { dc.Ellipse(m_ptFirst.x, m_ptFirst.y, m_ptSecond.x, m_ptSecond.y); }

void CEllipse::Draw(CDC& dc, const DrawContext&) const { DrawInStyle(dc, RasterOp::Own, BrushUse::Aligned, [&] { Paint(dc); }); }

void CEllipse::DrawShape(CDC& dc, std::int32_t, std::int32_t) {
  DrawInStyle(dc, RasterOp::Callers, BrushUse::Aligned, [&] { Paint(dc); });
}

HandleMarks CEllipse::Handles(std::int64_t reach) const { return OutlineHandles(BoxCornersForDrawing(), HandleHalf(3, reach)); }

std::int32_t CEllipse::FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) { return HitCorner(x, y, std::min<std::int64_t>(10, reach)); }

void CEllipse::OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) {
  GrabCorner(dc, view, x, y);
}

void CEllipse::OnMouseDrag(CDC&, EditingView& view, std::int32_t x, std::int32_t y) { FollowDrag(view, x, y); }

bool CEllipse::PtInUnit(std::int32_t x, std::int32_t y) {
  const CRect box = BoxRect();
  return CRgn::CreateEllipticRgn(box.left, box.top, box.right, box.bottom).PtInRegion(x, y);
}

std::int32_t CEllipse::SetRadius2(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  m_nRadius2 = RadiusBetween(x1, y1, x2, y2);
  return 0;
}

float CEllipse::SetAxisDirection(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  TurnAxis(x1, y1, x2, y2, /*flatIsRising=*/true);
  return 0.0f;
}

void CEllipse::PlotPoint(CDC& dc, std::int32_t x, std::int32_t y, COLORREF colour) {
  TurnedPoint turned = TurnAbout(m_ptCenter, m_dCos, m_dSin, x, y);
  PlotDiagonalRun(dc, TruncToInt(RoundHalfUpValue(turned.x)), TruncToInt(RoundHalfUpValue(turned.y)), m_nPenWidth,
                  -1, colour);
}

void CEllipse::PlotQuadrants(CDC& dc, std::int32_t cx, std::int32_t cy, std::int64_t dx, std::int64_t dy) {
  ForEachQuadrant(cx, cy, dx, dy, [&](std::int32_t x, std::int32_t y) { PlotPoint(dc, x, y, m_crPen); });
}

void CEllipse::PlotEllipse(CDC& dc, std::int32_t cx, std::int32_t cy, std::int32_t r1, std::int32_t r2) {
  WalkMidpointEllipse(r1, r2, [&](std::int64_t dx, std::int64_t dy) { PlotQuadrants(dc, cx, cy, dx, dy); });
}

void CEllipse::DrawAxisLine(CDC& dc, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  CPen blue(PS_SOLID, 1, 0x00FF0000);
  DCStateGuard restore(dc);
  dc.SelectObject(&blue);
  dc.MoveTo(x1, y1);
  dc.LineTo(x2, y2);
}

CRect CEllipse::GetBoundRect() {
  const std::int64_t cx = m_ptCenter.x, cy = m_ptCenter.y, r1 = m_nRadius1, r2 = m_nRadius2;
  const std::int64_t corners[4][2] = {{cx - r1, cy - r2}, {cx + r1, cy - r2}, {cx - r1, cy + r2}, {cx + r1, cy + r2}};
  CRect box;
  for (int i = 0; i < 4; ++i) {
    TurnedPoint t = TurnAbout(m_ptCenter, m_dCos, m_dSin, corners[i][0], corners[i][1]);
    CPoint p{TruncToInt(t.x), TruncToInt(t.y)};
    box = i == 0 ? CRect{p.x, p.y, p.x, p.y}
                 : CRect{std::min(box.left, p.x), std::min(box.top, p.y), std::max(box.right, p.x),
                         std::max(box.bottom, p.y)};
  }
  return box;
}

std::unique_ptr<CUnit> CEllipse::Clone() const { return CloneOf(*this); }

std::unique_ptr<CUnit> CEllipse::PasteCopy(const CUnit& current) const {
  return MadeFromStyleAndPoints<CEllipse>(current);
}

CRect CEllipse::Bounds() const {
  return BoundsInStyle(
      [&](const CDC& dc) { return dc.EllipseBounds(m_ptFirst.x, m_ptFirst.y, m_ptSecond.x, m_ptSecond.y); });
}

}  // namespace lumetra
