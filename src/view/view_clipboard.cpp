// The clipboard commands of the editing view, and the drawing order.

#include <algorithm>
#include <new>

#include "document/document.h"
#include "lang/language.h"
#include "lang/message_text.h"
#include "units/timer.h"
#include "units/unit_geometry.h"
#include "view/tessara_view.h"
#include "view/unit_clipboard.h"

namespace lumetra {

std::vector<CUnit*> CTessaraView::UnitsToCopy() {
  std::vector<CUnit*> units = UnitsActedOn();
  const auto stays = std::remove_if(units.begin(), units.end(), [](const CUnit* u) { return IsClock(*u); });
  if (stays != units.end() && m_pHost) m_pHost->ShowStatus(LookupText(text_key::kClockNotCopied));
  units.erase(stays, units.end());
  return units;
}

void CTessaraView::CopyToClipboard() {
  if (!m_pDocument || !m_pHost) return;
  const std::vector<CUnit*> units = UnitsToCopy();
  if (units.empty()) return;
  m_pHost->PutUnitsOnClipboard(CopyUnits(*m_pDocument, units, m_ptOrigin));
  if (units.size() == UnitsActedOn().size()) {
    m_pHost->ShowStatus(FormatText(text_key::kUnitsCopied, {std::to_string(units.size())}));
  }
}

// What was copied goes; a clock among the selected units stays.
void CTessaraView::CutToClipboard() {
  if (!m_pDocument || !m_pHost) return;
  const std::vector<CUnit*> units = UnitsToCopy();
  if (units.empty()) return;
  m_pHost->PutUnitsOnClipboard(CopyUnits(*m_pDocument, units, m_ptOrigin));
  RemoveUnits(StepKind::kCut, units);
}

// The pasted units are added on top, selected alone, the last one current.
void CTessaraView::PasteFromClipboard() {
  if (!m_pDocument || !m_pHost) return;
  PastedUnits pasted;
  try {
    const std::optional<std::vector<std::uint8_t>> bytes = m_pHost->UnitsOnClipboard();
    if (!bytes) return;
    pasted = ReadClipboardUnits(*bytes);
  } catch (const ClipboardError& error) {
    m_pHost->ShowMessage(FormatText(text_key::kClipboardUnreadable, {error.what()}));
    return;
  } catch (const std::bad_alloc&) {
    m_pHost->ShowMessage(FormatText(text_key::kClipboardUnreadable, {"there is not enough memory for them"}));
    return;
  }
  if (pasted.units.empty()) return;
  // Beside the originals while they are here; where they were after a cut.
  const bool besideOriginals =
      pasted.sourceDocument == m_pDocument->InstanceToken() &&
      std::any_of(pasted.sourceUnitIds.begin(), pasted.sourceUnitIds.end(),
                  [this](std::uint64_t id) { return m_pDocument->FindUnit(id) != nullptr; });
  const CSize canvas = m_pDocument->CanvasPixels();
  PlacePastedUnits(pasted.units, besideOriginals, OffsetRect({0, 0, canvas.cx, canvas.cy}, m_ptOrigin));
  ResetToSelectMode();
  for (auto& unit : m_pDocument->m_units) unit->m_bSelected = false;
  BeginChange(StepKind::kPaste);
  for (std::unique_ptr<CUnit>& unit : pasted.units) {
    unit->m_bSelected = true;
    m_pCurUnit = &m_pDocument->History().Append(std::move(unit));
  }
  m_pDocument->FitTextsToFrames();
  CommitChange();
  ShowCurrentStyle();
  Repaint();
}

bool CTessaraView::OrderCanChange(bool towardsFront) const {
  if (!m_pDocument) return false;
  std::vector<CUnit*> acted = UnitsActedOn();
  std::sort(acted.begin(), acted.end());
  const auto& units = m_pDocument->m_units;
  // Towards the front: an acted-on unit below one that is not; towards the back, the other way round.
  bool seenMoving = false, seenStaying = false;
  for (const auto& unit : units) {
    const bool moving = std::binary_search(acted.begin(), acted.end(), unit.get());
    if (towardsFront ? (!moving && seenMoving) : (moving && seenStaying)) return true;
    seenMoving = seenMoving || moving;
    seenStaying = seenStaying || !moving;
  }
  return false;
}

void CTessaraView::ChangeDrawingOrder(OrderChange change) {
  const bool towardsFront = change == OrderChange::kToFront || change == OrderChange::kForward;
  if (!OrderCanChange(towardsFront)) return;
  std::vector<CUnit*> acted = UnitsActedOn();
  std::sort(acted.begin(), acted.end());
  auto& units = m_pDocument->m_units;
  const std::size_t count = units.size();
  std::vector<bool> moving(count);
  for (std::size_t i = 0; i < count; ++i) moving[i] = std::binary_search(acted.begin(), acted.end(), units[i].get());
  EditHistory& history = m_pDocument->History();
  BeginChange(StepKind::kDrawingOrder);
  std::size_t moved = 0;  // units already taken to the front or back
  switch (change) {
    case OrderChange::kToFront:
      // Lowest first, each to the top: the ones taken before were below it.
      for (std::size_t i = 0; i < count; ++i) {
        if (moving[i]) history.MoveUnit(i - moved++, count - 1);
      }
      break;
    case OrderChange::kToBack:
      // Highest first, each to the bottom: the ones taken before were above it.
      for (std::size_t i = count; i-- > 0;) {
        if (moving[i]) history.MoveUnit(i + moved++, 0);
      }
      break;
    case OrderChange::kForward:
      // Each moving unit passes the unit above it; a block of them moves together.
      for (std::size_t i = count - 1; i-- > 0;) {
        if (!moving[i] || moving[i + 1]) continue;
        history.MoveUnit(i, i + 1);
        moving[i] = false;
        moving[i + 1] = true;
      }
      break;
    case OrderChange::kBackward:
      for (std::size_t i = 1; i < count; ++i) {
        if (!moving[i] || moving[i - 1]) continue;
        history.MoveUnit(i, i - 1);
        moving[i] = false;
        moving[i - 1] = true;
      }
      break;
  }
  CommitChange();
  Repaint();
}

}  // namespace lumetra
