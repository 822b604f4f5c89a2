#include <algorithm>

#include "units/line.h"

#include "units/unit_geometry.h"
#include "units/editing_view.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CDLine, 1, false)

void CDLine::InitDefaults() {
  m_ptFirst = {};
  m_ptSecond = {};
  m_crPen = kBlack;
  m_nPenWidth = 1;
  m_nPenStyle = PS_SOLID;
}

void CDLine::Draw(CDC& dc, const DrawContext&) const {
  DrawInStyle(dc, RasterOp::Own, BrushUse::None, [&] {
    dc.MoveTo(m_ptFirst.x, m_ptFirst.y);
    dc.LineTo(m_ptSecond.x, m_ptSecond.y);
  });
}

void CDLine::DrawShape(CDC& dc, std::int32_t, std::int32_t) {
  DrawInStyle(dc, RasterOp::Callers, BrushUse::None, [&] {
    dc.MoveTo(m_ptFirst.x, m_ptFirst.y);
    dc.LineTo(m_ptSecond.x, m_ptSecond.y);
  });
}

HandleMarks CDLine::Handles(std::int64_t reach) const {
  const CPoint ends[] = {m_ptFirst, m_ptSecond};
  return OutlineHandles(ends, HandleHalf(3, reach));
}

std::int32_t CDLine::FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) {
  const std::int64_t tolerance = std::min(std::int64_t(m_nPenWidth) + 5, reach);
  if (InSquareAround(m_ptFirst, tolerance, {x, y})) {
    m_ptHandle = m_ptFirst;
    return 1;
  }
  if (InSquareAround(m_ptSecond, tolerance, {x, y})) {
    m_ptHandle = m_ptSecond;
    return 2;
  }
  return 0;
}

// Grabbing the start swaps the ends, so that a drag only ever moves the second point.
void CDLine::OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) {
  const auto endsResize = [](std::int32_t handle) -> std::optional<std::int32_t> {
    if (handle == 1 || handle == 2) return kModeResize;
    return std::nullopt;
  };
  if (GrabHandle(view, x, y, kToolNone, endsResize)) {
    if (view.m_nHandle == 1) m_ptFirst = m_ptSecond;
    m_ptSecond = {x, y};
  }
  ToggleIfPicked(dc, view, x, y, ShowHandles::Yes);
}

void CDLine::OnMouseDrag(CDC&, EditingView& view, std::int32_t x, std::int32_t y) { FollowDrag(view, x, y); }

bool CDLine::PtInUnit(std::int32_t x, std::int32_t y) { return GetRegion()->PtInRegion(x, y); }

CRgn* CDLine::GetRegion() {
  std::array<CPoint, 4> band = LineHitBand(m_ptFirst, m_ptSecond, m_nPenWidth);
  m_pRgn = std::make_unique<CRgn>(CRgn::CreatePolygonRgn(band, PolyFillMode::Alternate));
  return m_pRgn.get();
}

// A diagonal band reaches 2w + 7 pixels sideways (measured horizontally);
// axis-parallel bands are rectangles w + 3 or w + 4 pixels beyond the line.
// Rising segments get a band that hangs below the right end.
std::array<CPoint, 4> LineHitBand(CPoint first, CPoint second, std::int32_t w) {
  const std::int64_t dx = std::int64_t(first.x) - second.x;
  const std::int64_t dy = std::int64_t(first.y) - second.y;
  const std::int64_t x1 = first.x, y1 = first.y, x2 = second.x, y2 = second.y;
  const std::int64_t side = 2 * std::int64_t(w) + 7;
  auto P = SaturatedPoint;
  if (dy == 0) {
    return {P(x1 - w - 4, y1 - w - 3), P(x1 - w - 4, y1 + w + 3), P(x2 + w + 4, y2 + w + 3),
            P(x2 + w + 4, y2 - w - 3)};
  }
  if (dx == 0) {
    return {P(x1 - w - 3, y1 - w - 4), P(x1 + w + 3, y1 - w - 4), P(x2 + w + 3, y2 + w + 4),
            P(x2 - w - 3, y2 + w + 4)};
  }
  const bool firstIsLeft = first.x <= second.x;
  const std::int64_t lx = firstIsLeft ? x1 : x2, ly = firstIsLeft ? y1 : y2;
  const std::int64_t rx = firstIsLeft ? x2 : x1, ry = firstIsLeft ? y2 : y1;
  if ((dx < 0) != (dy < 0)) {
    return {P(lx - side, ly), P(lx - 1, ly + side + 1), P(rx + side, ry + side + 1), P(rx + 1, ry)};
  }
  return {P(rx - 1, ry - side - 1), P(rx - side, ry), P(lx + 1, ly + side + 1), P(lx + side, ly)};
}

std::unique_ptr<CUnit> CDLine::Clone() const { return CloneOf(*this); }

std::unique_ptr<CUnit> CDLine::PasteCopy(const CUnit& current) const { return MadeFromStyleAndPoints<CDLine>(current); }

CRect CDLine::Bounds() const {
  const CPoint ends[] = {m_ptFirst, m_ptSecond};
  return BoundsInStyle([&](const CDC& dc) { return dc.PolylineBounds(ends); });
}

}  // namespace lumetra
