#include <algorithm>

#include "units/polygon.h"

#include "platform/archive/archive.h"
#include "units/line.h"
#include "units/unit_geometry.h"
#include "units/editing_view.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CPolygon, 1, false)

// The pen is stored a second time before the vertices.
void CPolygon::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  ar.TransferEach(m_crPen, m_nPenStyle, m_nPenWidth);
  ar.Transfer(m_aPoints);
}

void CPolygon::Paint(CDC& dc) const {
  const CPointArray& v = m_aPoints;
  if (v.empty()) return;
  dc.MoveTo(v.front().x, v.front().y);
  for (CPoint p : v) dc.LineTo(p.x, p.y);
  dc.LineTo(v.front().x, v.front().y);
}

void CPolygon::Draw(CDC& dc, const DrawContext&) const { DrawInStyle(dc, RasterOp::Own, BrushUse::Unaligned, [&] { Paint(dc); }); }

void CPolygon::DrawShape(CDC& dc, std::int32_t, std::int32_t) {
  DrawInStyle(dc, RasterOp::Callers, BrushUse::Unaligned, [&] { Paint(dc); });
}

HandleMarks CPolygon::Handles(std::int64_t reach) const {
  const CPointArray& v = m_aPoints;
  CPointArray middles;
  for (std::size_t i = 1; i < v.size(); ++i) middles.push_back(Midpoint(v[i - 1], v[i]));
  return MarkerHandles(v, middles, HandleHalf(3, reach));
}

std::int32_t CPolygon::FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) {
  const CPointArray& v = m_aPoints;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (InSquareAround(v[i], std::min<std::int64_t>(4, reach), {x, y})) {
      m_nVertex = std::int32_t(i);
      m_ptHandle = v[i];
      return std::int32_t(i + 1);
    }
    const CPoint middle = i == 0 ? v[0] : Midpoint(v[i - 1], v[i]);
    if (InSquareAround(middle, std::min<std::int64_t>(4, reach), {x, y})) {
      m_ptHandle = middle;
      return -(10 + std::int32_t(i));
    }
  }
  return 0;
}

// The edges are tried from the closing one on.
bool CPolygon::PtInUnit(std::int32_t x, std::int32_t y) {
  const CPointArray& v = m_aPoints;
  if (v.empty()) return false;
  CPoint a = v.back();
  for (CPoint b : v) {
    std::array<CPoint, 4> band = LineHitBand(a, b, m_nPenWidth);
    if (CRgn::CreatePolygonRgn(band, PolyFillMode::Alternate).PtInRegion(x, y)) return true;
    a = b;
  }
  return false;
}

void CPolygon::OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) {
  // Vertices resize; the centre handle (-10 and below) moves the polygon.
  const auto verticesResize = [](std::int32_t handle) -> std::optional<std::int32_t> {
    if (handle >= 1) return kModeResize;
    if (handle <= -10) return kModeMoveByHandle;
    return std::nullopt;
  };
  GrabHandle(view, x, y, kToolPolygon, verticesResize);
  ToggleIfPicked(dc, view, x, y, ShowHandles::Yes);
  if (view.m_bHandleGrabbed) FinishGrab(dc, view);
}

// An edge-handle drag (mode 2) moves every vertex with the mouse; a
// select-mode move leaves the polygon where it is. The vertex drag's XOR
// feedback leaves the DC's raster operation as it found it. Each step leaves
// the first point on the first vertex.
void CPolygon::OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) {
  DragStep(dc, view, x, y);
  if (!m_aPoints.empty()) m_ptFirst = m_aPoints.front();
}

void CPolygon::DragStep(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) {
  switch (view.m_nMode) {
    case kModeCreate:
      if (view.m_nClickCount == 0) break;
      dc.SetROP2(R2_XORPEN);
      DrawNewEdge(dc, view.m_ptTrackB.x, view.m_ptTrackB.y);
      view.m_ptTrackB = {x, y};
      dc.SetROP2(m_nDrawMode);
      DrawNewEdge(dc, x, y);
      break;
    case kModeResize: {
      DCStateGuard restore(dc);
      dc.SetROP2(R2_XORPEN);
      DrawVertexDrag(dc, view.m_ptTrackB.x, view.m_ptTrackB.y);
      view.m_ptTrackB = {x, y};
      DrawVertexDrag(dc, x, y);
      break;
    }
    case kModeMoveByHandle: {
      const CPoint step = TakeMouseStep(view, x, y);
      Translate(step.x, step.y);
      break;
    }
    default:
      break;
  }
}

CRect CPolygon::Extent() const { return BoundsOf(m_aPoints); }

void CPolygon::DrawVertexDrag(CDC& dc, std::int32_t x, std::int32_t y) {
  CPointArray& v = m_aPoints;
  const std::size_t n = v.size();
  if (m_nVertex < 0 || std::size_t(m_nVertex) >= n) return;
  const std::size_t k = std::size_t(m_nVertex);
  const CPoint previous = v[k == 0 ? n - 1 : k - 1];
  const CPoint next = v[(k + 1) % n];
  m_ptFirst = previous;
  m_ptSecond = next;
  const CPoint from = k == 0 ? next : previous;
  const CPoint to = k == 0 ? previous : next;
  DrawWithPen(dc, RasterOp::Callers, [&] {
    dc.MoveTo(from.x, from.y);
    dc.LineTo(x, y);
    dc.LineTo(to.x, to.y);
  });
  v[k] = {x, y};
}

void CPolygon::DrawClosingEdge(CDC& dc, std::int32_t x, std::int32_t y) {
  if (m_aPoints.empty()) return;
  const CPoint first = m_aPoints.front();
  DrawWithPen(dc, RasterOp::Own, [&] {
    dc.MoveTo(x, y);
    dc.LineTo(first.x, first.y);
  });
}

void CPolygon::DrawNewEdge(CDC& dc, std::int32_t x, std::int32_t y) {
  if (m_aPoints.empty()) return;
  const CPoint last = m_aPoints.back();
  DrawWithPen(dc, RasterOp::Callers, [&] {
    dc.MoveTo(last.x, last.y);
    dc.LineTo(x, y);
  });
}

void CPolygon::Translate(std::int32_t dx, std::int32_t dy) {
  CUnit::Translate(dx, dy);
  OffsetEach(m_aPoints, {dx, dy});
}

std::unique_ptr<CUnit> CPolygon::Clone() const { return CloneOf(*this); }

// Paint strokes its segments one by one; as one path they cover the same pixels.
CRect CPolygon::Bounds() const {
  const CPointArray& v = m_aPoints;
  if (v.empty()) return {};
  const CPointArray path = PathThrough(v.front(), v, v.front());
  return BoundsInStyle([&](const CDC& dc) { return dc.PolylineBounds(path); });
}

}  // namespace lumetra
