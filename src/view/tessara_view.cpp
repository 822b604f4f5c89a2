#include "view/tessara_view.h"

#include <algorithm>
#include <cmath>

#include "document/document.h"
#include "document/panel_settings.h"
#include "lang/language.h"
#include "lang/message_text.h"
#include "units/timer.h"
#include "units/unit_geometry.h"
#include "view/canvas_render.h"

namespace lumetra {

namespace {
std::int32_t Zoomed(std::int64_t pixels, float zoom) { return TruncToInt(double(pixels) * zoom); }
}  // namespace

void CTessaraView::Repaint(bool erase) {
  m_unitBounds.Clear();
  if (m_pHost) m_pHost->Invalidate(erase);
}

std::vector<CRect> CTessaraView::PaintedBoxes(const std::vector<CUnit*>& units) const {
  const std::int64_t reach = HandleReachAt(m_fZoom);
  const std::int32_t canvasWidth = m_pDocument ? m_pDocument->CanvasPixels().cx : 0;
  std::vector<CRect> boxes;
  const auto add = [&](const CUnit& unit) {
    boxes.push_back(PaintedBox(unit, m_unitBounds.Refresh(unit, canvasWidth), m_pCurUnit, reach));
  };
  for (const CUnit* unit : units) add(*unit);
  // The clock shows the time of each paint.
  if (m_nClockCount > 0 && m_pDocument) {
    for (const auto& unit : m_pDocument->m_units) {
      if (IsClock(*unit) && std::find(units.begin(), units.end(), unit.get()) == units.end()) add(*unit);
    }
  }
  if (m_rubberBand) boxes.push_back(SelectionFrameBox(RubberBandFrame()));
  return boxes;
}

void CTessaraView::RepaintChanged(const std::vector<CUnit*>& units, const std::vector<CRect>& before) {
  const std::vector<CRect> after = PaintedBoxes(units);
  if (!m_pHost) return;
  // The same units and clocks, and the band, paint before and after. Many
  // boxes go as the one round them all: a host's region of thousands of
  // boxes costs more than it saves.
  constexpr std::size_t kMostAreas = 16;
  const std::size_t count = std::max(before.size(), after.size());
  CRect all;
  for (std::size_t i = 0; i < count; ++i) {
    const CRect changed = (i < before.size() ? before[i] : CRect{}).Union(i < after.size() ? after[i] : CRect{});
    if (changed.IsEmpty()) continue;
    if (count <= kMostAreas) {
      m_pHost->InvalidateArea(changed);
    } else {
      all = all.Union(changed);
    }
  }
  if (!all.IsEmpty()) m_pHost->InvalidateArea(all);
}

CRect CTessaraView::RubberBandFrame() const {
  const CRect band = m_rubberBand->Normalized();
  return {band.left + 1, band.top + 1, band.right, band.bottom};
}

std::vector<CUnit*> CTessaraView::DraggedUnits() const {
  if (m_bGroupMove) return SelectedUnits();
  if (m_pCurUnit) return {m_pCurUnit};
  return {};
}

void CTessaraView::BeginChange(StepKind kind) {
  if (!m_pDocument) return;
  EditHistory& history = m_pDocument->History();
  // A gesture whose release never came ends here.
  while (history.IsOpen()) history.Commit();
  history.Begin(kind);
}

void CTessaraView::CommitChange() {
  if (m_pDocument) m_pDocument->History().Commit();
}

std::vector<CUnit*> CTessaraView::SelectedUnits() const {
  std::vector<CUnit*> selected;
  if (!m_pDocument) return selected;
  for (const auto& unit : m_pDocument->m_units) {
    if (unit->m_bSelected) selected.push_back(unit.get());
  }
  return selected;
}

void CTessaraView::SelectAll() {
  if (!m_pDocument || m_pDocument->m_units.empty()) return;
  for (auto& unit : m_pDocument->m_units) unit->m_bSelected = true;
  if (!m_pCurUnit || !m_pCurUnit->m_bSelected) m_pCurUnit = m_pDocument->m_units.back().get();
  m_nMode = kModeSelect;
  m_nTool = kToolNone;
  ShowCurrentStyle();
  Repaint();
}

void CTessaraView::ShowCurrentStyle() {
  if (!m_pStylePage || !m_pCurUnit) return;
  m_pStylePage->TakeFrom(*m_pCurUnit);
  if (m_pHost) m_pHost->StylePageChanged();
}

void CTessaraView::MoveSelection(std::int64_t dx, std::int64_t dy) {
  bool clock = false;
  for (CUnit* unit : SelectedUnits()) {
    m_pDocument->History().Touch(*unit);
    unit->Translate(SaturateToInt(dx), SaturateToInt(dy));
    clock = clock || dynamic_cast<CTimer*>(unit);
  }
  if (clock) PlaceClock();
}

void CTessaraView::NudgeSelection(std::int32_t dx, std::int32_t dy) {
  const std::vector<CUnit*> moved = SelectedUnits();
  const std::vector<CRect> before = PaintedBoxes(moved);
  BeginChange(StepKind::kNudge);
  MoveSelection(dx, dy);
  m_pDocument->History().Commit(m_bNudging ? EditHistory::Merge::kWithLast : EditHistory::Merge::kNo);
  m_bNudging = true;
  RepaintChanged(moved, before);
}

void CTessaraView::TouchClocks() {
  if (!m_pDocument) return;
  for (auto& unit : m_pDocument->m_units) {
    if (dynamic_cast<CTimer*>(unit.get())) m_pDocument->History().Touch(*unit);
  }
}

void CTessaraView::Undo() { MoveInHistory(&EditHistory::CanUndo, &EditHistory::Undo); }

void CTessaraView::Redo() { MoveInHistory(&EditHistory::CanRedo, &EditHistory::Redo); }

void CTessaraView::MoveInHistory(bool (EditHistory::*can)() const, void (EditHistory::*move)()) {
  m_bNudging = false;
  if (!m_pDocument || !(m_pDocument->History().*can)()) return;
  const HeldUnits held = HoldUnits();
  (m_pDocument->History().*move)();
  FollowHistory(held);
}

CTessaraView::HeldUnits CTessaraView::HoldUnits() const {
  HeldUnits held{m_pCurUnit ? m_pCurUnit->m_nId : 0, m_pMarkedUnit ? m_pMarkedUnit->m_nId : 0, {}};
  for (const CUnit* unit : SelectedUnits()) held.selected.push_back(unit->m_nId);
  return held;
}

CUnit* CTessaraView::Refound(CUnit* unit, std::uint64_t id) const {
  return id != 0 ? m_pDocument->FindUnit(id) : unit;
}

void CTessaraView::CancelDrag() {
  if (!m_pDocument) return;
  const HeldUnits held = HoldUnits();
  if (m_pHost) m_pHost->SetMouseCapture(false);
  m_pDocument->History().Abort();
  m_pendingGrab.reset();
  m_grabOffset = {};
  FollowHistory(held);
}

void CTessaraView::FollowHistory(const HeldUnits& held) {
  m_pCurUnit = Refound(m_pCurUnit, held.current);
  m_pMarkedUnit = Refound(m_pMarkedUnit, held.marked);
  m_nClockCount = 0;
  for (auto& unit : m_pDocument->m_units) {
    // A unit without an id was never swapped: its flag is its own.
    if (unit->m_nId != 0) {
      unit->m_bSelected = std::find(held.selected.begin(), held.selected.end(), unit->m_nId) != held.selected.end();
    }
    if (auto* clock = dynamic_cast<CTimer*>(unit.get())) {
      clock->m_nColourSet = m_pDocument->m_nColourSet;
      ++m_nClockCount;
    }
  }
  if (m_pCurUnit) m_pCurUnit->m_bSelected = true;
  m_bCreating = m_bMoving = m_bResizing = m_bGroupMove = false;
  if (m_nMode != kModeCreate) m_nMode = kModeSelect;
  UpdateCanvasSize();
  Repaint();
}

void CTessaraView::PlaceClock() {
  if (!m_pDocument) return;
  if (m_pDocument->History().IsOpen()) TouchClocks();
  m_pDocument->PlaceClock(GetLocalTime());
}

void CTessaraView::SettleCurrentUnit() {
  if (!m_pCurUnit) return;
  if (m_pCurUnit->KeepsCornersInOrder()) m_pCurUnit->NormalizePoints();
  if (dynamic_cast<CTimer*>(m_pCurUnit)) PlaceClock();
}

// The delete items of every pop-up menu and the clock's "Set..." are named in the current language.
void CTessaraView::TrackPopupMenu(const PopupMenuRequest& request) {
  if (!m_pHost) return;
  PopupMenuRequest shown = request;
  auto relabel = [&](std::int32_t command, int key) {
    shown.itemStates.push_back({command, false, LookupText(key)});
  };
  if (request.menuId == kMenuUnitDelete) relabel(kCmdDelete, 35000);
  if (request.menuId == kMenuTimerEdit) {
    relabel(kCmdTimerDelete, 35000);
    relabel(kCmdTimerSet, 35001);
  }
  if (request.menuId == kMenuUnitDelete || request.menuId == kMenuTimerEdit) {
    relabel(kCmdBringToFront, text_key::kBringToFront);
    relabel(kCmdSendToBack, text_key::kSendToBack);
    relabel(kCmdBringForward, text_key::kBringForward);
    relabel(kCmdSendBackward, text_key::kSendBackward);
  }
  m_pHost->ShowPopupMenu(shown);
}

void CTessaraView::OnInitialUpdate() {
  m_nClockCount = 0;
  if (m_pDocument) {
    for (auto& unit : m_pDocument->m_units) {
      unit->m_bSelected = false;
      if (auto* clock = dynamic_cast<CTimer*>(unit.get())) {
        clock->m_nColourSet = m_pDocument->m_nColourSet;
        ++m_nClockCount;
      }
    }
  }
  PlaceClock();
  UpdateCanvasSize();
  if (m_pDocument) m_ptOrigin = m_pDocument->m_ptViewOrigin;
  m_nTool = kToolNone;
  m_nMode = kModeSelect;
  m_pCurUnit = nullptr;
  m_pMarkedUnit = nullptr;
  m_bCreating = m_bMoving = m_bResizing = false;
  m_nClickCount = 0;
  m_bUnitChanged = m_bHandleGrabbed = false;
  if (m_pHost) m_pHost->ScrollTo({0, 0});
  Repaint();
}

CSize CTessaraView::ZoomedCanvasSize() const {
  if (!m_pDocument) return {};
  const CSize canvas = m_pDocument->CanvasPixels();
  return {Zoomed(canvas.cx, m_fZoom), Zoomed(canvas.cy, m_fZoom)};
}

// The document keeps the zoomed size, as the canvas it was last shown at.
void CTessaraView::UpdateCanvasSize() {
  const CSize size = ZoomedCanvasSize();
  if (m_pDocument) m_pDocument->m_sizeCanvas = size;
  if (m_pHost) m_pHost->CanvasSizeChanged(size);
  Repaint();
}

void CTessaraView::OnDraw(CDC& dc, const std::optional<CRect>& clip) const {
  if (!m_pDocument) return;
  RenderCanvas(*m_pDocument, dc, GetLocalTime(), clip, /*withHandles=*/true, m_pCurUnit, HandleReachAt(m_fZoom),
               &m_unitBounds);
  if (m_rubberBand) {
    DCStateGuard restore(dc);
    dc.SetClipRect(clip);
    DrawSelectionFrame(dc, RubberBandFrame());
  }
}

void CTessaraView::OnPrint(CDC& dc) const {
  if (!m_pDocument) return;
  DCStateGuard restore(dc);
  dc.SetWindowOrg(m_ptOrigin.x, m_ptOrigin.y);
  DrawUnits(*m_pDocument, dc, GetLocalTime(), /*withHandles=*/true, m_pCurUnit);
}

CPoint CTessaraView::ToCanvas(CPoint client) {
  const CPoint scroll = m_pHost ? m_pHost->ScrollPosition() : CPoint{};
  const double zoom = m_fZoom > 0 ? m_fZoom : 1.0;
  const std::int64_t lx = std::int64_t(client.x) + scroll.x + m_ptOrigin.x;
  const std::int64_t ly = std::int64_t(client.y) + scroll.y + m_ptOrigin.y;
  m_ptMouse = {TruncToInt(double(lx) / zoom), TruncToInt(double(ly) / zoom)};
  if (m_pHost) {
    m_pHost->ShowMousePosition(m_ptMouse, {TruncToInt(client.x / zoom), TruncToInt(client.y / zoom)});
  }
  return m_ptMouse;
}

void CTessaraView::OnZoom(std::uint32_t factor) {
  m_fZoom = float(factor);
  UpdateCanvasSize();
}

void CTessaraView::StepZoom(std::int32_t steps, CPoint anchor) {
  const double from = m_fZoom > 0 ? m_fZoom : 1.0;
  const std::int32_t to = std::clamp(std::int32_t(from) + steps, kMinZoom, kMaxZoom);
  if (to == std::int32_t(from)) return;
  const CPoint scroll = m_pHost ? m_pHost->ScrollPosition() : CPoint{};
  // The anchor on the canvas in LEDs, fraction included, before and after.
  const double x = (double(anchor.x) + scroll.x + m_ptOrigin.x) / from;
  const double y = (double(anchor.y) + scroll.y + m_ptOrigin.y) / from;
  OnZoom(std::uint32_t(to));
  if (m_pHost) {
    m_pHost->ScrollTo({TruncToInt(std::floor(x * to) - anchor.x - m_ptOrigin.x),
                       TruncToInt(std::floor(y * to) - anchor.y - m_ptOrigin.y)});
  }
}

// Escape cancels a drag under way, or else clears the selection. The
// arrows move the selection, or scroll when nothing is selected.
void CTessaraView::OnKeyDown(std::int32_t key, bool shift) {
  const bool arrow = key == kKeyLeft || key == kKeyRight || key == kKeyUp || key == kKeyDown;
  if (arrow && m_pDocument && !SelectedUnits().empty() && !(m_bCreating || m_bMoving || m_bResizing)) {
    const std::int32_t step = shift ? kWordPixels : 1;
    NudgeSelection(key == kKeyLeft ? -step : key == kKeyRight ? step : 0,
                   key == kKeyUp ? -step : key == kKeyDown ? step : 0);
    return;
  }
  m_bNudging = false;
  if (key == kKeyEscape) {
    m_rubberBand.reset();
    if (m_bCreating || m_bMoving || m_bResizing) {
      CancelDrag();
    } else if (m_pDocument) {
      for (auto& unit : m_pDocument->m_units) unit->m_bSelected = false;
      m_pCurUnit = nullptr;
      Repaint();
    }
    return;
  }
  if (!m_pHost) return;
  const CSize client = m_pHost->ClientSize();
  const CPoint at = m_pHost->ScrollPosition();
  const bool scrollsVertically = client.cy < ZoomedCanvasSize().cy;
  switch (key) {
    case kKeyHome:
      m_pHost->ScrollTo({0, 0});
      break;
    case kKeyLeft:
      m_pHost->ScrollTo({at.x - client.cx / 2, at.y});
      break;
    case kKeyRight:
      m_pHost->ScrollTo({at.x + client.cx / 2, at.y});
      break;
    case kKeyUp:
      if (scrollsVertically) m_pHost->ScrollTo({at.x, at.y - client.cy / 2});
      break;
    case kKeyDown:
      if (scrollsVertically) m_pHost->ScrollTo({at.x, at.y + client.cy / 2});
      break;
    default:
      break;
  }
}

void CTessaraView::OnKeyUp(std::int32_t key) {
  if (key == kKeyDelete) DeleteSelected();
}

std::optional<std::int32_t> CTessaraView::CursorResource() const {
  switch (m_nMode) {
    case kModeCreate:
    case kModeResize:
      return kCursorDraw;
    case kModeMoveByHandle:
    case kModeSelect:
      return kCursorSelect;
    default:
      return std::nullopt;
  }
}

}  // namespace lumetra
