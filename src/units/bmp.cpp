#include <algorithm>

#include "units/bmp.h"

#include "units/unit_geometry.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CBmp, 1, false)

void CBmp::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  m_dib.Serialize(ar);
}

// The picture fills the box of the two points, so resizing the unit stretches
// it. It is drawn in the DC's own coordinates like every other unit: moving
// the DC's origin here would shift this picture, and every unit drawn after
// it, whenever a caller draws with an origin of its own.
void CBmp::Draw(CDC& dc, const DrawContext&) const {
  const CRect box = BoxRect();
  m_dib.DrawStretched(dc, box.left, box.top, SaturateToInt(std::int64_t(box.right) - box.left),
                      SaturateToInt(std::int64_t(box.bottom) - box.top));
}

// Rubber-band feedback shows the picture itself.
void CBmp::DrawShape(CDC& dc, std::int32_t, std::int32_t) { Draw(dc, {}); }

HandleMarks CBmp::Handles(std::int64_t reach) const { return OutlineHandles(BoxCornersForDrawing(), HandleHalf(3, reach)); }

std::int32_t CBmp::FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) { return HitCorner(x, y, std::min<std::int64_t>(10, reach)); }

// A press that toggles the unit shows its handles at once.
void CBmp::OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) {
  const bool wasActive = m_bActive;
  GrabCorner(dc, view, x, y);
  if (m_bActive != wasActive) DrawHandles(dc);
}

void CBmp::OnMouseDrag(CDC&, EditingView& view, std::int32_t x, std::int32_t y) { FollowDrag(view, x, y); }

// The whole picture box counts; its points stay as they are.
bool CBmp::PtInUnit(std::int32_t x, std::int32_t y) {
  return BoxRect().PtInRect({x, y});
}

std::unique_ptr<CUnit> CBmp::Clone() const { return CloneOf(*this); }

CRect CBmp::Bounds() const {
  const CRect box = BoxRect();
  return m_dib.CanDraw() && !box.IsEmpty() ? box : CRect{};
}

}  // namespace lumetra
