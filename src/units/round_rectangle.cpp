#include "units/round_rectangle.h"

#include <cstdlib>

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CRoundRectangle, 1, false)

CRoundRectangle::CRoundRectangle() {
  m_nBrushStyle = BS_HOLLOW;
  m_nHatchStyle = HS_CROSS;
}

void CRoundRectangle::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  SerializeBrush(ar);
}

CSize CRoundRectangle::CornerEllipse() const {
  std::int64_t width = std::llabs(std::int64_t(m_ptFirst.x) - m_ptSecond.x);
  std::int64_t height = std::llabs(std::int64_t(m_ptFirst.y) - m_ptSecond.y);
  return {std::int32_t(width / 3), std::int32_t(height / 3)};
}

void CRoundRectangle::Paint(CDC& dc) const {
  const CSize corner = CornerEllipse();
  dc.RoundRect(m_ptFirst.x, m_ptFirst.y, m_ptSecond.x, m_ptSecond.y, corner.cx, corner.cy);
}

void CRoundRectangle::Draw(CDC& dc, const DrawContext&) const { DrawInStyle(dc, RasterOp::Own, BrushUse::Aligned, [&] { Paint(dc); }); }

void CRoundRectangle::DrawShape(CDC& dc, std::int32_t, std::int32_t) {
  DrawInStyle(dc, RasterOp::Callers, BrushUse::Aligned, [&] { Paint(dc); });
}

HandleMarks CRoundRectangle::Handles(std::int64_t reach) const { return OutlineHandles(BoxCornersForDrawing(), HandleHalf(3, reach)); }

std::int32_t CRoundRectangle::FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) { return HitCorner(x, y, std::min<std::int64_t>(4, reach)); }

void CRoundRectangle::OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) {
  GrabCorner(dc, view, x, y);
}

void CRoundRectangle::OnMouseDrag(CDC&, EditingView& view, std::int32_t x, std::int32_t y) {
  FollowDrag(view, x, y);
}

// Hit-testing normalises the points for good, so that handle 1 is the top-left corner afterwards.
bool CRoundRectangle::PtInUnit(std::int32_t x, std::int32_t y) {
  return BoxRect().PtInRect({x, y});
}

std::unique_ptr<CUnit> CRoundRectangle::Clone() const { return CloneOf(*this); }

std::unique_ptr<CUnit> CRoundRectangle::PasteCopy(const CUnit& current) const {
  return MadeFromStyleAndPoints<CRoundRectangle>(current);
}

CRect CRoundRectangle::Bounds() const {
  const CSize corner = CornerEllipse();
  return BoundsInStyle([&](const CDC& dc) {
    return dc.RoundRectBounds(m_ptFirst.x, m_ptFirst.y, m_ptSecond.x, m_ptSecond.y, corner.cx, corner.cy);
  });
}

}  // namespace lumetra
