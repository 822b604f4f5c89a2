#include <algorithm>

#include "units/rectangle.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CRectangle, 1, false)

CRectangle::CRectangle() {
  m_nBrushStyle = BS_HOLLOW;
  m_nHatchStyle = HS_CROSS;
}

void CRectangle::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  SerializeBrush(ar);
}

void CRectangle::Paint(CDC& dc) const { dc.Rectangle(m_ptFirst.x, m_ptFirst.y, m_ptSecond.x, m_ptSecond.y); }

void CRectangle::Draw(CDC& dc, const DrawContext&) const { DrawInStyle(dc, RasterOp::Own, BrushUse::Aligned, [&] { Paint(dc); }); }

void CRectangle::DrawShape(CDC& dc, std::int32_t, std::int32_t) {
  DrawInStyle(dc, RasterOp::Callers, BrushUse::Aligned, [&] { Paint(dc); });
}

HandleMarks CRectangle::Handles(std::int64_t reach) const { return OutlineHandles(BoxCornersForDrawing(), HandleHalf(3, reach)); }

std::int32_t CRectangle::FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) { return HitCorner(x, y, std::min<std::int64_t>(10, reach)); }

void CRectangle::OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) {
  GrabCorner(dc, view, x, y);
}

void CRectangle::OnMouseDrag(CDC&, EditingView& view, std::int32_t x, std::int32_t y) { FollowDrag(view, x, y); }

// The whole box counts, filled or hollow; its points stay as drawn.
bool CRectangle::PtInUnit(std::int32_t x, std::int32_t y) {
  return BoxRect().PtInRect({x, y});
}

std::unique_ptr<CUnit> CRectangle::Clone() const { return CloneOf(*this); }

std::unique_ptr<CUnit> CRectangle::PasteCopy(const CUnit& current) const {
  return MadeFromStyleAndPoints<CRectangle>(current);
}

CRect CRectangle::Bounds() const {
  return BoundsInStyle(
      [&](const CDC& dc) { return dc.RectangleBounds(m_ptFirst.x, m_ptFirst.y, m_ptSecond.x, m_ptSecond.y); });
}

}  // namespace lumetra
