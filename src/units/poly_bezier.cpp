#include <algorithm>

#include "units/poly_bezier.h"

#include "platform/archive/archive.h"
#include "units/unit_geometry.h"
#include "units/editing_view.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CPolyBezier, 1, false)

namespace {
// The create-mode rubber segment starts again from the last press on the
// step after every third press; all Bezier units share this state.
struct RubberSegment {
  bool started = false;
  std::int32_t lastThird = 0;
};
RubberSegment g_rubberSegment;
}  // namespace

void CPolyBezier::Serialize(CArchive& ar) {
  CUnit::Serialize(ar);
  ar.Transfer(m_aPoints);
}

void CPolyBezier::AddControlPoint(CDC&, EditingView& view) { m_aPoints.push_back(view.m_ptMouse); }

void CPolyBezier::ShowContextMenu(EditingView& view, std::int32_t screenX, std::int32_t screenY) {
  if (view.m_nMode != kModeCreate) return;
  view.TrackPopupMenu({kMenuBezierCreate, {screenX, screenY}, {}});
}

void CPolyBezier::Draw(CDC& dc, const DrawContext&) const {
  DrawInStyle(dc, RasterOp::Own, BrushUse::Unaligned, [&] { dc.PolyBezier(m_aPoints); });
}

void CPolyBezier::DrawShape(CDC& dc, std::int32_t x, std::int32_t y) {
  const std::size_t m = m_aPoints.size();
  if (m < 3) return;
  const CPoint segment[] = {m_aPoints[m - 3], m_aPoints[m - 2], m_aPoints[m - 1], {x, y}};
  DrawInStyle(dc, RasterOp::Callers, BrushUse::Unaligned, [&] { dc.PolyBezier(segment); });
}

HandleMarks CPolyBezier::Handles(std::int64_t reach) const {
  const std::size_t m = m_aPoints.size();
  CPointArray onCurve, steering;
  for (std::size_t i = 0; i < m; i += 3) onCurve.push_back(m_aPoints[i]);
  for (std::size_t i = 1; i + 1 < m; i += 3) {
    steering.push_back(m_aPoints[i]);
    steering.push_back(m_aPoints[i + 1]);
  }
  return MarkerHandles(onCurve, steering, HandleHalf(3, reach));
}

CRect CPolyBezier::Extent() const { return BoundsOf(m_aPoints); }

std::int32_t CPolyBezier::FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) { return HitHandleAroundMouse(m_aPoints, x, y, std::min<std::int64_t>(4, reach)); }

bool CPolyBezier::PtInUnit(std::int32_t x, std::int32_t y) {
  for (std::size_t i = 0; i + 2 < m_aPoints.size(); i += 3) {
    if (InSquareAround({x, y}, 20, m_aPoints[i])) return true;
  }
  return false;
}

void CPolyBezier::OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) {
  if (view.m_nMode != kModeSelect) return;
  if (GrabHandle(view, x, y, kToolPolyBezier, AnyHandleResizes)) FinishGrab(dc, view);
  ToggleIfPicked(dc, view, x, y, ShowHandles::Yes);
}

void CPolyBezier::OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) {
  if (view.m_nMode == kModeResize) {
    Draw(dc, {});
    view.m_ptTrackB = {x, y};
    const std::int32_t handle = view.m_nHandle;
    if (handle >= 1 && std::size_t(handle) <= m_aPoints.size()) m_aPoints[std::size_t(handle) - 1] = {x, y};
    Draw(dc, {});
  } else if (view.m_nMode == kModeCreate) {
    if (!g_rubberSegment.started) {
      DrawShape(dc, view.m_ptLastClick.x, view.m_ptLastClick.y);
      g_rubberSegment.started = true;
    }
    const std::int32_t clicks = view.m_nClickCount;
    if (clicks % 3 == 0 && clicks / 3 != g_rubberSegment.lastThird) {
      g_rubberSegment.lastThird = clicks / 3;
      g_rubberSegment.started = false;
    }
    DrawShape(dc, view.m_ptTrackA.x, view.m_ptTrackA.y);
    view.m_ptTrackA = {x, y};
    DrawShape(dc, x, y);
  }
}

void CPolyBezier::Translate(std::int32_t dx, std::int32_t dy) {
  CUnit::Translate(dx, dy);
  OffsetEach(m_aPoints, {dx, dy});
}

std::unique_ptr<CUnit> CPolyBezier::Clone() const { return CloneOf(*this); }

CRect CPolyBezier::Bounds() const {
  return BoundsInStyle([&](const CDC& dc) { return dc.PolyBezierBounds(m_aPoints); });
}

}  // namespace lumetra
