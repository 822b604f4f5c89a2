#include "units/ellipse_arc.h"

#include <cmath>

#include "platform/archive/archive.h"
#include "units/pixel_plot.h"
#include "units/unit_geometry.h"
#include "units/editing_view.h"

namespace lumetra {

LUMETRA_IMPLEMENT_SERIAL(CEllipseArc, 1, false)

void CEllipseArc::Serialize(CArchive& ar) {
  CTurnedEllipseUnit::Serialize(ar);
  ar.TransferEach(m_ptArcStart, m_ptArcEnd, m_dAngle1, m_dAngle2);
  if (ar.IsLoading()) m_bAngleSet = true;
}

void CEllipseArc::ShowContextMenu(EditingView& view, std::int32_t screenX, std::int32_t screenY) {
  view.TrackPopupMenu({kMenuCanvasEdit, {screenX, screenY}, {{kCmdRotate, m_bRotate, {}}}});
}

double ArcAngle(double dx, double dy) {
  const double t = dx == 0 ? 1e18 : dy / dx;
  const double e = std::atan(std::fabs(t)) * 57.29577866666166;
  if (dy < 0 && dx >= 0) return 360 - e;
  if (dy >= 0 && dx < 0) return 180 - e;
  if (dy < 0 && dx < 0) return 180 + e;
  return e;
}

CPoint CEllipseArc::SetAngle1At(std::int32_t x, std::int32_t y) {
  m_bAngleSet = true;
  m_dAngle1 = ArcAngle(double(std::int64_t(x) - m_ptCenter.x), double(std::int64_t(y) - m_ptCenter.y));
  return {};
}

CPoint CEllipseArc::SetAngle2At(std::int32_t x, std::int32_t y) {
  m_dAngle2 = ArcAngle(double(std::int64_t(x) - m_ptCenter.x), double(std::int64_t(y) - m_ptCenter.y));
  return {};
}

std::int32_t CEllipseArc::SetRadius2(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  m_nRadius2 = RadiusBetween(x1, y1, x2, y2);
  m_nRadius1 = 0;
  return 0;
}

float CEllipseArc::SetAxisDirection(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
  TurnAxis(x1, y1, x2, y2, /*flatIsRising=*/false);
  return 0.0f;
}

CEllipseArc::TurnedPixel CEllipseArc::Turned(std::int32_t x, std::int32_t y) const {
  TurnedPoint turned = TurnAbout(m_ptCenter, m_dCos, m_dSin, x, y);
  const double px = RoundHalfUpValue(turned.x), py = RoundHalfUpValue(turned.y);
  return {{TruncToInt(px), TruncToInt(py)}, ArcAngle(px - m_ptCenter.x, py - m_ptCenter.y)};
}

// With equal angles both tests pass.
int CEllipseArc::PlotCount(double angle) const {
  if (!m_bAngleSet) return 1;
  const bool inRising = m_dAngle1 <= m_dAngle2 && angle >= m_dAngle1 && angle <= m_dAngle2;
  const bool inWrapping = m_dAngle1 >= m_dAngle2 && (angle >= m_dAngle1 || angle <= m_dAngle2);
  return int(inRising) + int(inWrapping);
}

void CEllipseArc::PlotPoint(CDC& dc, std::int32_t x, std::int32_t y, COLORREF colour) const {
  const TurnedPixel turned = Turned(x, y);
  for (int i = PlotCount(turned.angle); i > 0; --i) {
    PlotDiagonalRun(dc, turned.pixel.x, turned.pixel.y, m_nPenWidth, +1, colour);
  }
}

void CEllipseArc::PlotQuadPoints(CDC& dc, std::int32_t cx, std::int32_t cy, std::int64_t dx, std::int64_t dy) const {
  ForEachQuadrant(cx, cy, dx, dy, [&](std::int32_t x, std::int32_t y) { PlotPoint(dc, x, y, m_crPen); });
}

void CEllipseArc::PlotEllipse(CDC& dc, std::int32_t cx, std::int32_t cy, std::int32_t r1, std::int32_t r2) {
  PlotArc(dc, cx, cy, r1, r2);
}

void CEllipseArc::PlotArc(CDC& dc, std::int32_t cx, std::int32_t cy, std::int32_t r1, std::int32_t r2) const {
  WalkMidpointEllipse(r1, r2, [&](std::int64_t dx, std::int64_t dy) { PlotQuadPoints(dc, cx, cy, dx, dy); });
}

// The last walk point within a degree of each angle marks that end; an end
// no walk point comes near keeps its pixel.
void CEllipseArc::TakePlottedEnds() {
  if (!m_bAngleSet) return;
  WalkMidpointEllipse(m_nRadius1, m_nRadius2, [&](std::int64_t dx, std::int64_t dy) {
    ForEachQuadrant(m_ptCenter.x, m_ptCenter.y, dx, dy, [&](std::int32_t x, std::int32_t y) {
      const TurnedPixel turned = Turned(x, y);
      if (std::fabs(turned.angle - m_dAngle1) < 1.0) m_ptArcStart = turned.pixel;
      if (std::fabs(turned.angle - m_dAngle2) < 1.0) m_ptArcEnd = turned.pixel;
    });
  });
}

// The pixels come from SetPixel alone; the style is selected around the plot all the same.
void CEllipseArc::DrawArcOutline(CDC& dc, std::int32_t, std::int32_t) {
  Draw(dc, {});
}

void CEllipseArc::Draw(CDC& dc, const DrawContext&) const {
  DrawInStyle(dc, RasterOp::Own, BrushUse::Unaligned,
              [&] { PlotArc(dc, m_ptCenter.x, m_ptCenter.y, m_nRadius1, m_nRadius2); });
}

void CEllipseArc::DrawConstruction(CDC& dc, std::int32_t, std::int32_t) {
  PlotArc(dc, m_ptCenter.x, m_ptCenter.y, m_nRadius1, m_nRadius2);
}

void CEllipseArc::DrawShape(CDC& dc, std::int32_t x, std::int32_t y) { DrawConstruction(dc, x, y); }

HandleMarks CEllipseArc::Handles(std::int64_t reach) const {
  const CPoint ends[] = {m_ptArcStart, m_ptArcEnd};
  const CPoint centre[] = {m_ptCenter};
  return MarkerHandles(ends, centre, HandleHalf(3, reach));
}

std::int32_t CEllipseArc::FindHandle(std::int32_t x, std::int32_t y, std::int64_t reach) {
  const CPoint handles[] = {m_ptArcStart, m_ptArcEnd, m_ptCenter};
  return HitHandleAroundMouse(handles, x, y, std::min<std::int64_t>(4, reach));
}

// The box of radii (rx, ry) about the centre, turned with the arc; the
// corners are truncated, not rounded.
std::array<CPoint, 4> CEllipseArc::TurnedBox(std::int64_t rx, std::int64_t ry) const {
  const std::int64_t cx = m_ptCenter.x, cy = m_ptCenter.y;
  const std::int64_t corners[4][2] = {{cx - rx, cy + ry}, {cx + rx, cy + ry}, {cx + rx, cy - ry}, {cx - rx, cy - ry}};
  std::array<CPoint, 4> turned;
  for (int i = 0; i < 4; ++i) {
    TurnedPoint t = TurnAbout(m_ptCenter, m_dCos, m_dSin, corners[i][0], corners[i][1]);
    turned[i] = {TruncToInt(t.x), TruncToInt(t.y)};
  }
  return turned;
}

bool CEllipseArc::PtInUnit(std::int32_t x, std::int32_t y) {
  auto frameRegion = [&](std::int64_t rx, std::int64_t ry) {
    return CRgn::CreatePolygonRgn(TurnedBox(rx, ry), PolyFillMode::Alternate);
  };
  const std::int64_t r1 = m_nRadius1, r2 = m_nRadius2;
  return frameRegion(r1, r2).PtInRegion(x, y) && !frameRegion(r1 / 2, r2 / 2).PtInRegion(x, y);
}

CRect CEllipseArc::Extent() const { return BoundsOf(TurnedBox(m_nRadius1, m_nRadius2)); }

// A centre grab moves the whole arc (mode 2); an end grab moves that end.
void CEllipseArc::OnLButtonDown(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) {
  const auto centreMoves = [](std::int32_t handle) -> std::optional<std::int32_t> {
    return handle == 3 ? kModeMoveByHandle : kModeResize;
  };
  if (GrabHandle(view, x, y, kToolEllipseArc, centreMoves)) FinishGrab(dc, view);
  ToggleIfPicked(dc, view, x, y, ShowHandles::Yes);
}

void CEllipseArc::OnMouseDrag(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) {
  DragStep(dc, view, x, y);
  TakePlottedEnds();
}

// Each pair of identical drawing calls erases the previous state and paints
// the new one under the caller's XOR-type raster operation. A drag that
// starts on the body moves the whole arc; handle drags work whatever the
// press count; the construction steps follow the presses of a creation.
void CEllipseArc::DragStep(CDC& dc, EditingView& view, std::int32_t x, std::int32_t y) {
  if (FollowBodyMove(view)) return;
  if (view.m_nMode == kModeMoveByHandle) {
    Draw(dc, {});
    if (!m_bRotate) {
      const CPoint step = TakeMouseStep(view, x, y);
      Translate(step.x, step.y);
    } else {
      SetAxisDirection(view.m_ptLastClick.x, view.m_ptLastClick.y, x, y);
      SetRadius1(view.m_ptLastClick.x, view.m_ptLastClick.y, x, y);
    }
    Draw(dc, {});
    return;
  }
  if (view.m_nMode == kModeResize) {
    Draw(dc, {});
    if (!m_bRotate) {
      if (view.m_nHandle == 1) SetAngle1At(x, y);
      if (view.m_nHandle == 2) SetAngle2At(x, y);
    } else {
      SetAxisDirection(m_ptCenter.x, m_ptCenter.y, x, y);
    }
    view.m_ptTrackB = {x, y};
    Draw(dc, {});
    return;
  }
  switch (view.m_nClickCount) {
    case 3:
      DrawShape(dc, x, y);
      SetAngle2At(x, y);
      m_nDrawMode = dc.GetROP2();
      view.m_ptTrackB = {x, y};
      DrawShape(dc, x, y);
      break;
    case 2:
      DrawConstruction(dc, x, y);
      SetRadius2(m_ptCenter.x, m_ptCenter.y, x, y);
      m_nDrawMode = dc.GetROP2();
      view.m_ptTrackB = {x, y};
      DrawConstruction(dc, x, y);
      break;
    case 1:
      DrawAxisLine(dc, view.m_ptTrackA.x, view.m_ptTrackA.y, view.m_ptTrackB.x, view.m_ptTrackB.y);
      view.m_ptTrackB = {x, y};
      DrawAxisLine(dc, view.m_ptTrackA.x, view.m_ptTrackA.y, view.m_ptTrackB.x, view.m_ptTrackB.y);
      break;
    default:
      break;
  }
}

void CEllipseArc::Translate(std::int32_t dx, std::int32_t dy) {
  CTurnedEllipseUnit::Translate(dx, dy);
  m_ptArcStart = Offset(m_ptArcStart, {dx, dy});
  m_ptArcEnd = Offset(m_ptArcEnd, {dx, dy});
}

std::unique_ptr<CUnit> CEllipseArc::Clone() const { return CloneOf(*this); }

// DrawArcOutline's walk, each plotted point giving its run's pixels.
CRect CEllipseArc::Bounds() const {
  if (m_nPenWidth <= 0) return {};
  const std::int64_t run = m_nPenWidth;
  CRect box;
  WalkMidpointEllipse(m_nRadius1, m_nRadius2, [&](std::int64_t dx, std::int64_t dy) {
    ForEachQuadrant(m_ptCenter.x, m_ptCenter.y, dx, dy, [&](std::int32_t x, std::int32_t y) {
      const TurnedPixel turned = Turned(x, y);
      if (PlotCount(turned.angle) == 0) return;
      const CPoint p = turned.pixel;
      box = box.Union({p.x, p.y, SaturateToInt(p.x + run), SaturateToInt(p.y + run)});
    });
  });
  return box;
}

}  // namespace lumetra
