// The clipboard commands of the editing view, and the drawing order.

#include <algorithm>

#include "document/document.h"
#include "lang/language.h"
#include "lang/message_text.h"
#include "view/tessara_view.h"
#include "view/unit_clipboard.h"

namespace lumetra {

std::vector<CUnit*> CTessaraView::UnitsToCopy() {
  std::vector<CUnit*> units = UnitsActedOn();
  const auto stays = std::remove_if(units.begin(), units.end(), [](const CUnit* u) { return !TravelsByClipboard(*u); });
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
  const std::optional<std::vector<std::uint8_t>> bytes = m_pHost->UnitsOnClipboard();
  if (!bytes) return;
  PastedUnits pasted;
  try {
    pasted = ReadClipboardUnits(*bytes);
  } catch (const ClipboardError& error) {
    m_pHost->ShowMessage(FormatText(text_key::kClipboardUnreadable, {error.what()}));
    return;
  }
  if (pasted.units.empty()) return;
  const CSize canvas = m_pDocument->CanvasPixels();
  PlacePastedUnits(pasted.units, pasted.sourceDocument == m_pDocument->InstanceToken(),
                   {m_ptOrigin.x, m_ptOrigin.y, m_ptOrigin.x + canvas.cx, m_ptOrigin.y + canvas.cy});
  m_bCreating = m_bMoving = m_bResizing = false;
  m_nMode = kModeSelect;
  m_nTool = kToolNone;
  m_nClickCount = 0;
  for (auto& unit : m_pDocument->m_units) unit->m_bSelected = false;
  BeginChange(StepKind::kPaste);
  for (std::unique_ptr<CUnit>& unit : pasted.units) {
    unit->m_bSelected = true;
    m_pCurUnit = &m_pDocument->History().Append(std::move(unit));
  }
  CommitChange();
  ShowCurrentStyle();
  Repaint();
}

void CTessaraView::ChangeDrawingOrder(OrderChange change) {
  if (!m_pDocument || m_pDocument->m_units.size() < 2) return;
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
