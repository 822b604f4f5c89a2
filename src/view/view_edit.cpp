// The commands of the editing view: tool choice and the edit commands on the
// current unit or the whole document, with their enable and check states.

#include <algorithm>
#include <new>

#include "document/document.h"
#include "document/panel_settings.h"
#include "document/picture_import.h"
#include "units/bmp.h"
#include "units/timer.h"
#include "units/unit_geometry.h"
#include "lang/message_text.h"
#include "platform/archive/byte_stream.h"
#include "platform/files.h"
#include "render/picture.h"
#include "view/tessara_view.h"

namespace lumetra {

namespace {

struct ToolCommand {
  std::int32_t command;
  std::int32_t tool;
};
constexpr ToolCommand kToolCommands[] = {
    {kCmdToolLine, kToolLine},         {kCmdToolCurve, kToolCurve},
    {kCmdToolRectangle, kToolRectangle}, {kCmdToolRoundRectangle, kToolRoundRectangle},
    {kCmdToolEllipse, kToolEllipse},   {kCmdToolRound, kToolRound},
    {kCmdToolPolygon, kToolPolygon},   {kCmdToolLiEllipse, kToolLiEllipse},
    {kCmdToolRoundArc, kToolRoundArc}, {kCmdToolEllipseArc, kToolEllipseArc},
    {kCmdToolPolyBezier, kToolPolyBezier}, {kCmdToolText, kToolText},
    {kCmdToolClock, kToolClock},
};

const ToolCommand* FindTool(std::int32_t command) {
  for (const ToolCommand& t : kToolCommands) {
    if (t.command == command) return &t;
  }
  return nullptr;
}

bool IsClockOrPicture(const CUnit* unit) {
  return dynamic_cast<const CTimer*>(unit) || dynamic_cast<const CBmp*>(unit);
}

}  // namespace

void CTessaraView::ChooseTool(std::int32_t tool) {
  m_nTool = tool;
  m_nMode = kModeCreate;
  m_nClickCount = 0;
}

void CTessaraView::OnCommand(std::int32_t command) {
  m_bNudging = false;
  if (const ToolCommand* t = FindTool(command)) {
    ChooseTool(t->tool);
    return;
  }
  switch (command) {
    case kCmdSelect:
      ResetToSelectMode();
      break;
    case kCmdIdle:
      m_nMode = kModeIdle;
      m_nTool = kToolNone;
      m_nClickCount = 0;
      m_bCreating = m_bMoving = m_bResizing = false;
      if (m_pCurUnit) m_pCurUnit->m_bSelected = false;
      m_pCurUnit = nullptr;
      Repaint(false);
      break;
    case kCmdInert:
      m_nMode = kModeInert;
      break;
    case kCmdDelete:
      DeleteSelected();
      break;
    case kCmdTimerDelete:
      DeleteSelected();
      Repaint();
      break;
    case kCmdCopy:
      MarkForCopy();
      break;
    case kCmdPaste:
      PasteMarked();
      break;
    case kCmdCentreHorizontally:
      CentreHorizontally();
      break;
    case kCmdCentreVertically:
      CentreVertically();
      break;
    case kCmdImportBmp:
    case kCmdImportBmpButton:
      ImportPicture();
      break;
    case kCmdScreenSize:
      ChangeScreenSize();
      break;
    case kCmdPlayModes:
      EditPlayMode();
      break;
    case kCmdTimerSet:
      EditClockOptions();
      break;
    case kCmdRepaint:
      Repaint();
      break;
    case kCmdSaveAsBmp:
      SaveAsBmpFile();
      break;
    case kCmdPreview:
      ShowPreview();
      break;
    case kCmdZoomList:
      if (m_pHost) m_pHost->ToggleZoomList();
      break;
    case kCmdUndo:
      Undo();
      break;
    case kCmdSelectAll:
      SelectAll();
      break;
    case kCmdRedo:
      Redo();
      break;
    case kCmdCutToClipboard:
      CutToClipboard();
      break;
    case kCmdCopyToClipboard:
      CopyToClipboard();
      break;
    case kCmdPasteFromClipboard:
      PasteFromClipboard();
      break;
    case kCmdBringToFront:
      ChangeDrawingOrder(OrderChange::kToFront);
      break;
    case kCmdSendToBack:
      ChangeDrawingOrder(OrderChange::kToBack);
      break;
    case kCmdBringForward:
      ChangeDrawingOrder(OrderChange::kForward);
      break;
    case kCmdSendBackward:
      ChangeDrawingOrder(OrderChange::kBackward);
      break;
    default:
      break;
  }
}

CommandState CTessaraView::GetCommandState(std::int32_t command) const {
  if (const ToolCommand* t = FindTool(command)) {
    const bool clock = command == kCmdToolClock;
    return {!clock || m_nClockCount == 0, m_nTool == t->tool};
  }
  switch (command) {
    case kCmdSelect:
      return {true, m_nTool == kToolNone};
    case kCmdCopy:
    case kCmdCentreHorizontally:
    case kCmdCentreVertically:
      return {m_pCurUnit != nullptr, false};
    case kCmdPaste:
      return {m_pMarkedUnit != nullptr, false};
    case kCmdSelectAll:
      return {m_pDocument && !m_pDocument->m_units.empty(), false};
    case kCmdCutToClipboard:
    case kCmdCopyToClipboard: {
      const std::vector<CUnit*> units = UnitsActedOn();
      return {std::any_of(units.begin(), units.end(), [](const CUnit* u) { return !IsClock(*u); }), false};
    }
    case kCmdPasteFromClipboard:
      return {m_pDocument && m_pHost && m_pHost->ClipboardHoldsUnits(), false};
    case kCmdBringToFront:
    case kCmdBringForward:
      return {OrderCanChange(true), false};
    case kCmdSendToBack:
    case kCmdSendBackward:
      return {OrderCanChange(false), false};
    case kCmdUndo:
      return {m_pDocument && m_pDocument->History().CanUndo(), false};
    case kCmdRedo:
      return {m_pDocument && m_pDocument->History().CanRedo(), false};
    case kCmdZoomList:
      return {true, m_pHost && m_pHost->ZoomListVisible()};
    default:
      return {true, false};
  }
}

// Every selected unit goes, in one step.
void CTessaraView::DeleteSelected() { RemoveUnits(StepKind::kDelete, SelectedUnits()); }

void CTessaraView::RemoveUnits(StepKind kind, const std::vector<CUnit*>& units) {
  m_pCurUnit = nullptr;
  if (m_pDocument) {
    std::vector<CUnit*> going = units;
    std::sort(going.begin(), going.end());
    BeginChange(kind);
    auto& all = m_pDocument->m_units;
    for (std::size_t i = all.size(); i-- > 0;) {
      if (!std::binary_search(going.begin(), going.end(), all[i].get())) continue;
      if (dynamic_cast<CTimer*>(all[i].get())) --m_nClockCount;
      m_pDocument->History().Remove(i);
    }
    CommitChange();
  }
  ResetToSelectMode();
  m_pMarkedUnit = nullptr;
  Repaint();
}

// The page changed one value: that value, and only that, goes to every
// selected unit but the clock (the page shows the current unit's style).
void CTessaraView::ApplyStyleToCurrentUnit() {
  if (!m_pCurUnit || !m_pStylePage || !m_pDocument) return;
  StylePageValues before;
  before.TakeFrom(*m_pCurUnit);
  std::vector<CUnit*> targets = SelectedUnits();
  if (targets.empty()) targets.push_back(m_pCurUnit);
  BeginChange(StepKind::kRestyle);
  for (CUnit* unit : targets) {
    if (dynamic_cast<CTimer*>(unit)) continue;
    m_pDocument->History().Touch(*unit);
    m_pStylePage->ApplyChangesTo(before, *unit);
  }
  CommitChange();
  Repaint();
}

void CTessaraView::MarkForCopy() {
  if (m_pCurUnit && !IsClockOrPicture(m_pCurUnit)) m_pMarkedUnit = m_pCurUnit;
}

void CTessaraView::PasteMarked() {
  if (!m_pMarkedUnit || !m_pCurUnit || IsClockOrPicture(m_pCurUnit) || !m_pDocument) return;
  std::unique_ptr<CUnit> copy = m_pMarkedUnit->PasteCopy(*m_pCurUnit);
  if (!copy) return;
  copy->m_bSelected = false;
  BeginChange(StepKind::kPaste);
  m_pMarkedUnit = &m_pDocument->History().Append(std::move(copy));
  CommitChange();
  ResetToSelectMode();
  Repaint();
}

void CTessaraView::ResetToSelectMode() {
  m_bCreating = m_bMoving = m_bResizing = false;
  m_nMode = kModeSelect;
  m_nTool = kToolNone;
  m_nClickCount = 0;
}

std::vector<CUnit*> CTessaraView::UnitsActedOn() const {
  std::vector<CUnit*> units = SelectedUnits();
  if (units.empty() && m_pCurUnit) units.push_back(m_pCurUnit);
  return units;
}

CRect CTessaraView::CentredBox() const {
  CRect box;
  bool first = true;
  for (const CUnit* unit : UnitsActedOn()) {
    const CRect extent = unit->Extent();
    box = first ? extent
                : CRect{std::min(box.left, extent.left), std::min(box.top, extent.top), std::max(box.right, extent.right),
                        std::max(box.bottom, extent.bottom)};
    first = false;
  }
  return box;
}

// The centred units move together; a box-shaped unit's corners are put in order first.
void CTessaraView::ShiftCurrentUnit(std::int64_t dx, std::int64_t dy) {
  BeginChange(StepKind::kCentre);
  for (CUnit* unit : UnitsActedOn()) {
    m_pDocument->History().Touch(*unit);
    if (unit->PointsAreBoxCorners()) unit->NormalizePoints();
    unit->Translate(SaturateToInt(dx), SaturateToInt(dy));
    if (dynamic_cast<CTimer*>(unit)) PlaceClock();
  }
  CommitChange();
  Repaint();
}

void CTessaraView::CentreHorizontally() {
  if (!m_pCurUnit || !m_pDocument) return;
  const std::int64_t panel = std::int64_t(m_pDocument->m_nWidthWords) * kWordPixels;
  if (panel == 0) return;
  const CRect box = CentredBox();
  const std::int64_t width = std::int64_t(box.right) - box.left;
  ShiftCurrentUnit((panel - width) / 2 - box.left, 0);
}

void CTessaraView::CentreVertically() {
  if (!m_pCurUnit || !m_pDocument) return;
  const std::int64_t frame = std::int64_t(m_pDocument->m_nHeightWords) * kWordPixels;
  if (frame == 0) return;
  const CRect box = CentredBox();
  const std::int64_t height = std::int64_t(box.bottom) - box.top;
  const std::int64_t frameTop = (box.top / frame) * frame;
  const std::int64_t top = height > frame ? frameTop : frameTop + (frame - height) / 2;
  ShiftCurrentUnit(0, top - box.top);
}

void CTessaraView::ImportPicture() {
  if (!m_pHost) return;
  if (std::optional<std::filesystem::path> path = m_pHost->ChoosePictureToImport()) ImportPictureFile(*path);
}

// A BMP with a 40-byte header is taken as it is; any other picture the user
// reduces to the panel's colours first. A file that cannot be read, is no
// picture we know or is damaged adds nothing and says why, so no invisible
// unit is left behind.
void CTessaraView::ImportPictureFile(const std::filesystem::path& path, CPoint at) {
  if (!m_pDocument) return;
  const std::string name = path.filename().string();
  const auto tell = [this](const std::string& text) {
    if (m_pHost) m_pHost->ShowMessage(text);
  };
  std::vector<std::uint8_t> bytes;
  try {
    bytes = ReadWholeFile(path, CDib::kMaxFileBytes);
    if (!IsPlainBmp(bytes)) {
      const RgbaPicture picture = DecodePicture(bytes);
      const CTessaraDoc& doc = *m_pDocument;
      const CSize frame{doc.m_nWidthWords * kWordPixels, doc.m_nHeightWords * kWordPixels};
      const std::optional<PictureReduction> how =
          m_pHost ? m_pHost->ChoosePictureReduction(picture, name, doc.m_nColourSet, frame) : std::nullopt;
      if (!how) return;
      bytes = BmpFileOf(ReducePicture(picture, *how, doc.m_nColourSet, frame));
    }
  } catch (const FileError& error) {
    tell(FormatText(text_key::kPictureNotRead, {name, error.what()}));
    return;
  } catch (const PictureError& error) {
    tell(FormatText(PictureErrorTextKey(error.reason()), {name, error.what()}));
    return;
  } catch (const std::bad_alloc&) {
    tell(FormatText(text_key::kPictureTooLarge, {name, "there is not enough memory for it"}));
    return;
  }
  std::unique_ptr<CBmp> unit = MakePictureUnit(bytes, ToCanvas(at));
  if (!unit) return;  // the reader has said why
  ResetToSelectMode();
  for (auto& other : m_pDocument->m_units) other->m_bSelected = false;
  BeginChange(StepKind::kImport);
  unit->m_bSelected = true;
  m_pCurUnit = &m_pDocument->History().Append(std::move(unit));
  CommitChange();
  ShowCurrentStyle();
  Repaint();
}

void CTessaraView::ChangeScreenSize() {
  if (!m_pHost || !m_pDocument) return;
  CTessaraDoc& doc = *m_pDocument;
  ScreenSizeValues values{doc.m_nWidthWords, doc.m_nHeightWords, doc.m_nFrames, doc.m_nColourSet, true};
  if (!m_pHost->EditScreenSize(values)) return;
  // The settings store keeps this Screen Set even when the step is undone.
  BeginChange(StepKind::kScreenSet);
  TouchClocks();
  doc.m_nWidthWords = values.widthWords;
  doc.m_nHeightWords = values.heightWords;
  doc.m_nFrames = values.frames;
  doc.m_nColourSet = values.colourSet;
  doc.FitTextsToFrames();
  m_pHost->PanelSettingsChanged(doc);
  UpdateCanvasSize();
  doc.m_ptViewOrigin = m_ptOrigin;
  for (auto& unit : doc.m_units) {
    if (auto* clock = dynamic_cast<CTimer*>(unit.get())) clock->m_nColourSet = doc.m_nColourSet;
  }
  PlaceClock();
  CommitChange();
  Repaint();
}

// The preview plays the strip as the panel would, with the clock shown in its place.
void CTessaraView::ShowPreview() {
  if (!m_pHost || !m_pDocument) return;
  const CTessaraDoc& doc = *m_pDocument;
  const std::optional<LocalTime> clocksAt = m_nClockCount > 0 ? std::optional(GetLocalTime()) : kNoClocks;
  std::optional<Bitmap32> strip = RenderPictureStrip(*m_pDocument, clocksAt, m_ptOrigin);
  if (!strip) return;
  m_pHost->ShowPreview(*strip, doc.m_nWidthWords * kWordPixels, doc.m_nHeightWords * kWordPixels, doc.m_nFrames);
}

// OK and every Apply leave their values in the document, each as a step.
void CTessaraView::EditPlayMode() {
  if (!m_pHost || !m_pDocument) return;
  BeginChange(StepKind::kPlayModes);
  m_pHost->EditPlayModes(m_pDocument->m_playMode, m_pDocument->m_nFrames, [this] {
    CommitChange();
    BeginChange(StepKind::kPlayModes);
  });
  CommitChange();
}

// With the mono colour set every lit colour is the one red.
void CTessaraView::EditClockOptions() {
  if (m_pHost && m_pDocument) {
    CTessaraDoc& doc = *m_pDocument;
    ClockOptions options{doc.m_nClockStyle, doc.m_nClockColour, doc.m_nClockAlign, doc.m_nColourSet};
    const ClockOptions before = options;
    if (m_pHost->EditClockOptions(options) && !(options == before)) {
      BeginChange(StepKind::kClockOptions);
      TouchClocks();
      doc.m_nClockStyle = std::uint8_t(options.style);
      doc.m_nClockColour = std::uint8_t(options.colour);
      doc.m_nClockAlign = std::uint8_t(options.align);
      if (doc.m_nColourSet == 2 && doc.m_nClockColour != 0) doc.m_nClockColour = 1;
      PlaceClock();
      CommitChange();
    }
  }
  Repaint(false);
}

// A file that cannot be written is reported with its reason; a picture that
// cannot be made with the program's own message.
void CTessaraView::SaveAsBmpFile() {
  if (!m_pHost || !m_pDocument) return;
  const std::optional<std::filesystem::path> path = m_pHost->ChooseBmpToSave();
  if (!path) return;
  m_pHost->SetWaitCursor(true);
  bool written = false;
  try {
    written = WritePicture(*m_pDocument, *path, m_ptOrigin);
  } catch (const FileError& error) {
    m_pHost->SetWaitCursor(false);
    m_pHost->ShowMessage(error.what());
    return;
  }
  m_pHost->SetWaitCursor(false);
  if (!written) m_pHost->ShowMessage("Save file failed. Please try again later");
}

}  // namespace lumetra
