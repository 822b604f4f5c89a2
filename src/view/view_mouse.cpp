// The mouse state machine of the editing view: presses create or pick units
// and grab handles, drags let the current unit follow, releases finish.

#include "document/document.h"
#include "document/panel_settings.h"
#include "lang/language.h"
#include "units/curve.h"
#include "units/ellipse.h"
#include "units/line.h"
#include "units/rectangle.h"
#include "units/round_rectangle.h"
#include "units/text.h"
#include "units/timer.h"
#include "units/unit_geometry.h"
#include "view/tessara_view.h"

namespace lumetra {

namespace {
// A click without dragging makes a unit of this size.
constexpr CPoint kClickUnitSize{40, 30};
}  // namespace

std::unique_ptr<CUnit> CTessaraView::MakeUnitOfTool(std::int32_t x, std::int32_t y) {
  switch (m_nTool) {
    case kToolLine:
      return std::make_unique<CDLine>();
    case kToolCurve: {
      auto curve = std::make_unique<CCurve>();
      curve->BeginTrace({x, y});
      return curve;
    }
    case kToolRectangle:
      return std::make_unique<CRectangle>();
    case kToolRoundRectangle:
      return std::make_unique<CRoundRectangle>();
    case kToolEllipse:
      return std::make_unique<CEllipse>();
    case kToolText: {
      auto text = std::make_unique<CText>();
      if (m_pDocument) text->m_nBandHeight = m_pDocument->m_nHeightWords * kWordPixels;
      return text;
    }
    case kToolClock:
      if (m_nClockCount != 0) {
        if (m_pHost) m_pHost->ShowMessage(LookupText(2003));
        return nullptr;
      }
      ++m_nClockCount;
      return std::make_unique<CTimer>();
    default:
      return nullptr;
  }
}

void CTessaraView::OnLButtonDown(CPoint client, bool extendSelection) {
  const CPoint at = ToCanvas(client);
  m_bNudging = false;
  m_nHandleReach = HandleReachAt(m_fZoom);
  m_pendingGrab.reset();
  m_ptTrackA = m_ptTrackB = at;
  if (m_pHost) m_pHost->SetMouseCapture(true);
  // Each press starts without a grab; a grabbed handle's number lasts until the release.
  m_bHandleGrabbed = false;
  m_nHandle = -1;
  if (m_nMode == kModeCreate && m_pDocument) {
    m_bCreating = true;
    // Whatever the press and the drag do, up to the release, is one step.
    BeginChange(StepKind::kCreate);
    for (auto& unit : m_pDocument->m_units) unit->m_bSelected = false;  // the new unit alone is selected
    if (m_pCurUnit) m_pDocument->History().Touch(*m_pCurUnit);
    const bool clockTool = m_nTool == kToolClock;
    std::unique_ptr<CUnit> unit = MakeUnitOfTool(at.x, at.y);
    if (unit) {
      unit->m_ptFirst = unit->m_ptSecond = at;
      if (m_pStylePage) m_pStylePage->ApplyTo(*unit);
      unit->m_nDrawMode = FeedbackDC().GetROP2();
      unit->m_bSelected = true;
      m_pCurUnit = &m_pDocument->History().Append(std::move(unit));
    } else if (clockTool) {
      m_pCurUnit = nullptr;
      CommitChange();  // refused: its message may take the release
    }
    Repaint();  // the units that were selected lose their handles
  } else if (m_nMode == kModeSelect) {
    PressInSelectMode(at.x, at.y, extendSelection);
  }
  ++m_nClickCount;
  m_ptLastClick = at;
}

// A press on a handle of the current unit, or on a unit, may start a drag:
// the change it makes up to the release is one step.
void CTessaraView::PressInSelectMode(std::int32_t x, std::int32_t y, bool extend) {
  m_nTool = kToolNone;
  // Picking, grabbing and moving leave the unit's own raster operation as it is.
  if (const std::int32_t handle = extend || !m_pCurUnit ? 0 : m_pCurUnit->HitHandle(x, y, m_nHandleReach); handle != 0) {
    BeginChange(StepKind::kResize);
    m_pDocument->History().Touch(*m_pCurUnit);
    m_pCurUnit->m_bActive = true;
    m_bResizing = true;
    m_pendingGrab = PendingGrab{{x, y}, m_pCurUnit->m_ptHandle, handle};
    Repaint();
    return;
  }
  if (!m_pDocument) return;
  CUnit* hit = nullptr;
  auto& units = m_pDocument->m_units;
  for (auto it = units.rbegin(); it != units.rend() && !hit; ++it) {
    if ((*it)->PtInUnit(x, y)) hit = it->get();
  }
  if (extend) {
    // Shift+click adds the unit to the selection or takes it out; nothing moves.
    if (!hit) return;
    hit->m_bSelected = !hit->m_bSelected;
    if (hit->m_bSelected) {
      m_pCurUnit = hit;
    } else if (hit == m_pCurUnit) {
      const std::vector<CUnit*> selected = SelectedUnits();
      m_pCurUnit = selected.empty() ? nullptr : selected.back();
    }
    ShowCurrentStyle();
    Repaint();
    return;
  }
  if (!hit || !hit->m_bSelected) {
    for (auto& unit : units) unit->m_bSelected = false;
  }
  if (!hit) {
    // A press on empty canvas starts a rubber band.
    m_pCurUnit = nullptr;
    m_rubberBand = CRect{x, y, x, y};
    Repaint();
    return;
  }
  m_pCurUnit = hit;
  hit->m_bSelected = true;
  // Dragging a selected unit moves every selected unit together.
  BeginChange(StepKind::kMove);
  const std::vector<CUnit*> selected = SelectedUnits();
  for (CUnit* unit : selected) m_pDocument->History().Touch(*unit);
  m_bGroupMove = selected.size() > 1;
  Repaint();
  ShowCurrentStyle();
  m_bMoving = true;
}

// The unit takes the grab of a handle once the mouse moves, as if the press
// had been on the handle itself; the drag then follows the mouse's movement.
void CTessaraView::TakePendingGrab(CDC& dc) {
  const PendingGrab grab = *m_pendingGrab;
  m_pendingGrab.reset();
  if (m_pCurUnit->KeepsCornersInOrder()) m_pCurUnit->NormalizePoints();
  // Where handles overlap (a unit smaller than the reach), the handle's own
  // point may find another one first: the press point finds the pressed one.
  const bool onHandle = m_pCurUnit->HitHandle(grab.handle.x, grab.handle.y, m_nHandleReach) == grab.number;
  const CPoint from = onHandle ? grab.handle : grab.press;
  m_ptTrackA = m_ptTrackB = m_ptLastClick = from;
  m_pCurUnit->OnLButtonDown(dc, *this, from.x, from.y);
  if (m_nMode == kModeMoveByHandle && m_pDocument) m_pDocument->History().SetKind(StepKind::kMove);
  m_grabOffset = SaturatedPoint(std::int64_t(from.x) - grab.press.x, std::int64_t(from.y) - grab.press.y);
}

void CTessaraView::OnMouseMove(CPoint client, bool leftButtonDown) {
  CPoint at = ToCanvas(client);
  if (leftButtonDown && m_rubberBand) {
    const std::vector<CRect> before = PaintedBoxes({});
    m_rubberBand->right = at.x;
    m_rubberBand->bottom = at.y;
    RepaintChanged({}, before);
    return;
  }
  if (!leftButtonDown || !m_pCurUnit) return;
  // A step changes the dragged units and may place the clock; nothing else.
  const std::vector<CUnit*> dragged = DraggedUnits();
  const std::vector<CRect> before = PaintedBoxes(dragged);
  CDC dc = FeedbackDC();
  if (m_pendingGrab) TakePendingGrab(dc);
  if (m_bResizing) at = Offset(at, m_grabOffset);
  const bool dragging = m_bCreating || m_bResizing || m_bMoving;
  if (m_bCreating || m_bResizing) {
    m_pCurUnit->OnMouseDrag(dc, *this, at.x, at.y);
  } else if (m_bMoving) {
    m_ptTrackA = m_ptTrackB;
    m_ptTrackB = at;
    if (m_bGroupMove) {
      MoveSelection(std::int64_t(at.x) - m_ptTrackA.x, std::int64_t(at.y) - m_ptTrackA.y);
    } else {
      m_pCurUnit->OnMouseDrag(dc, *this, at.x, at.y);
    }
  }
  if (dragging && dynamic_cast<CTimer*>(m_pCurUnit)) PlaceClock();
  RepaintChanged(dragged, before);
}

void CTessaraView::OnLButtonUp(CPoint client) {
  ToCanvas(client);
  if (m_pHost) m_pHost->SetMouseCapture(false);
  if (m_bCreating) {
    if (m_pCurUnit && m_pCurUnit->m_ptFirst == m_pCurUnit->m_ptSecond) {
      m_pCurUnit->m_ptSecond = Offset(m_pCurUnit->m_ptSecond, kClickUnitSize);
    }
    if (auto* clock = dynamic_cast<CTimer*>(m_pCurUnit); clock && m_pDocument) {
      clock->m_nColourSet = m_pDocument->m_nColourSet;
    }
    SettleCurrentUnit();
    if (auto* curve = dynamic_cast<CCurve*>(m_pCurUnit); curve && curve->m_aPoints.empty()) {
      DiscardNewUnit();  // a click traces no point: the curve could be neither seen nor picked
    } else if (auto* text = dynamic_cast<CText*>(m_pCurUnit)) {
      // The dialog is part of the creation: its Apply makes no step of its own.
      const DialogOutcome outcome = m_pHost
                                        ? m_pHost->EditTextProperties(*text, /*newUnit=*/true, [this] { Repaint(); })
                                        : DialogOutcome::kCancelled;
      if (outcome == DialogOutcome::kCancelled) DiscardNewUnit();  // an empty box nobody asked for
      m_nTool = kToolNone;
      m_nMode = kModeSelect;
    } else if (dynamic_cast<CTimer*>(m_pCurUnit)) {
      m_nTool = kToolNone;
      m_nMode = kModeSelect;
    }
    m_bCreating = false;
  } else if (m_bResizing) {
    if (!m_pendingGrab) SettleCurrentUnit();  // a click on a handle changes nothing
    m_nMode = kModeSelect;
    m_bResizing = false;
  }
  m_pendingGrab.reset();
  m_grabOffset = {};
  if (m_rubberBand) SelectInBand();
  m_bMoving = m_bGroupMove = false;
  m_nHandle = -1;
  CommitChange();
  Repaint();
}

// The units whose painted box the band touches are selected, the topmost current.
void CTessaraView::SelectInBand() {
  const CRect band = m_rubberBand->Normalized();
  m_rubberBand.reset();
  if (!m_pDocument || (band.left == band.right && band.top == band.bottom)) return;  // a click
  const CRect touched{band.left, band.top, SaturateToInt(std::int64_t(band.right) + 1),
                      SaturateToInt(std::int64_t(band.bottom) + 1)};
  for (auto& unit : m_pDocument->m_units) {
    const CRect box = unit->Bounds().ClipTo(touched);
    unit->m_bSelected = !box.IsEmpty();
    if (unit->m_bSelected) m_pCurUnit = unit.get();
  }
  ShowCurrentStyle();
}

void CTessaraView::DiscardNewUnit() {
  if (!m_pDocument) return;
  const std::uint64_t marked = m_pMarkedUnit ? m_pMarkedUnit->m_nId : 0;
  m_pCurUnit = nullptr;
  m_pDocument->History().Abort();
  m_pMarkedUnit = Refound(m_pMarkedUnit, marked);
}

void CTessaraView::OnLButtonDblClk(CPoint client) {
  const CPoint at = ToCanvas(client);
  if (m_pCurUnit && m_pCurUnit->PtInUnit(at.x, at.y)) {
    if (auto* text = dynamic_cast<CText*>(m_pCurUnit)) {
      if (m_pDocument) text->m_nBandHeight = m_pDocument->m_nHeightWords * kWordPixels;
      // OK and every Apply each make a step of what they changed.
      auto begin = [&] {
        BeginChange(StepKind::kTextProperties);
        if (m_pDocument) m_pDocument->History().Touch(*text);
      };
      begin();
      if (m_pHost) {
        m_pHost->EditTextProperties(*text, /*newUnit=*/false, [&] {
          CommitChange();
          begin();
          Repaint();
        });
      }
      CommitChange();
      m_nTool = kToolNone;
      m_nMode = kModeSelect;
    } else if (dynamic_cast<CTimer*>(m_pCurUnit)) {
      EditClockOptions();
    }
  }
  Repaint();
}

void CTessaraView::OnContextMenu(CPoint screen, CPoint client) {
  ToCanvas(client);
  if (!m_pCurUnit) return;
  if (m_nMode != kModeSelect) {
    m_pCurUnit->ShowContextMenu(*this, screen.x, screen.y);
    if (m_nMode != kModeSelect) return;
  }
  if (dynamic_cast<CTimer*>(m_pCurUnit)) {
    m_pCurUnit->ShowContextMenu(*this, screen.x, screen.y);
  } else {
    TrackPopupMenu({kMenuUnitDelete, screen, {}});
  }
}

}  // namespace lumetra
