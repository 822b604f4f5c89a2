#include "units/curve.h"

#include <algorithm>

#include "platform/archive/archive.h"
#include "units/unit_geometry.h"
#include "units/editing_view.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CCurve, 1, false)

void CCurve::Serialize(CArchive& ar) {
  ar.TransferEach(m_crPen, m_nPenStyle, m_nPenWidth);
  ar.Transfer(m_aPoints);
  if (ar.IsLoading()) {
    CRect box = GetBoundRect();
    m_nMinX = box.left;
    m_nMinY = box.top;
    m_nMaxX = box.right;
    m_nMaxY = box.bottom;
  }
}

CRect CCurve::GetBoundRect() { return BoundsOf(m_aPoints); }

CRect CCurve::Extent() const { return CRect{m_nMinX, m_nMinY, m_nMaxX, m_nMaxY}.Normalized(); }

// The traced points and their box move.
void CCurve::Translate(std::int32_t dx, std::int32_t dy) {
  CUnit::Translate(dx, dy);
  const CPoint step{dx, dy};
  OffsetEach(m_aPoints, step);
  const CPoint low = Offset({m_nMinX, m_nMinY}, step), high = Offset({m_nMaxX, m_nMaxY}, step);
  m_nMinX = low.x;
  m_nMinY = low.y;
  m_nMaxX = high.x;
  m_nMaxY = high.y;
}

void CCurve::BeginTrace(CPoint press) {
  m_nMinX = m_nMaxX = press.x;
  m_nMinY = m_nMaxY = press.y;
}

// The last point is drawn to once more, which paints nothing new.
void CCurve::Paint(CDC& dc) const {
  const CPointArray& t = m_aPoints;
  if (t.empty()) return;
  dc.MoveTo(t.front().x, t.front().y);
  for (CPoint p : t) dc.LineTo(p.x, p.y);
  dc.LineTo(t.back().x, t.back().y);
}

void CCurve::Draw(CDC& dc, const DrawContext&) const { DrawWithPen(dc, RasterOp::Own, [&] { Paint(dc); }); }

void CCurve::DrawShape(CDC& dc, std::int32_t, std::int32_t) { Draw(dc, {}); }

HandleMarks CCurve::Handles(std::int64_t reach) const {
  const CPoint corners[] = {{m_nMinX, m_nMinY}, {m_nMaxX, m_nMaxY}, {m_nMinX, m_nMaxY}, {m_nMaxX, m_nMinY}};
  return OutlineHandles(corners, HandleHalf(3, reach));
}

void CCurve::DrawSegment(CDC& dc, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  DrawWithPen(dc, RasterOp::Callers, [&] {
    dc.MoveTo(x1, y1);
    dc.LineTo(x2, y2);
  });
}

bool CCurve::PtInUnit(std::int32_t x, std::int32_t y) {
  const std::int64_t left = std::min(m_nMinX, m_nMaxX) - std::int64_t(2);
  const std::int64_t top = std::min(m_nMinY, m_nMaxY) - std::int64_t(2);
  const std::int64_t right = std::max(m_nMinX, m_nMaxX) + std::int64_t(2);
  const std::int64_t bottom = std::max(m_nMinY, m_nMaxY) + std::int64_t(2);
  return x >= left && x < right && y >= top && y < bottom;
}

void CCurve::OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) {
  if (view.m_bCreating) {
    m_nMinX = std::min(m_nMinX, x);
    m_nMinY = std::min(m_nMinY, y);
    m_nMaxX = std::max(m_nMaxX, x);
    m_nMaxY = std::max(m_nMaxY, y);
    view.m_ptTrackA = view.m_ptTrackB;
    view.m_ptTrackB = {x, y};
    m_aPoints.push_back({x, y});
    m_ptFirst = m_aPoints.front();  // the trace starts at the unit's first point
    DrawSegment(dc, view.m_ptTrackA.x, view.m_ptTrackA.y, x, y);
  } else {
    FollowBodyMove(view);
  }
}

std::unique_ptr<CUnit> CCurve::Clone() const { return CloneOf(*this); }

// Paint strokes its segments one by one; as one path they cover the same pixels.
CRect CCurve::Bounds() const {
  const CPointArray& t = m_aPoints;
  if (t.empty()) return {};
  const CPointArray path = PathThrough(t.front(), t, t.back());
  return BoundsInStyle([&](const CDC& dc) { return dc.PolylineBounds(path); });
}

}  // namespace lumetra
