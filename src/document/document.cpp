#include "document/document.h"

#include <atomic>
#include <random>

#include "platform/archive/archive.h"
#include "platform/files.h"
#include "platform/profile/settings_store.h"
#include "platform/report.h"
#include "units/text.h"
#include "units/timer.h"
#include "units/unit_classes.h"

namespace lumetra {
namespace {

// A random start for this program, then one more for every document.
std::uint64_t NewInstanceToken() {
  static const std::uint64_t start = [] {
    std::random_device random;
    return (std::uint64_t(random()) << 32) ^ random();
  }();
  static std::atomic<std::uint64_t> made{0};
  return start + made.fetch_add(1);
}

}  // namespace

CTessaraDoc::CTessaraDoc() : m_nInstanceToken(NewInstanceToken()) {}

CTessaraDoc::~CTessaraDoc() {
  m_history.SetListener(nullptr);
  DeleteContents();
}

void CTessaraDoc::DeleteContents() {
  m_history.Clear();
  while (!m_units.empty()) m_units.pop_back();
  m_readProblems.clear();
}

CUnit* CTessaraDoc::FindUnit(std::uint64_t id) const {
  if (id == 0) return nullptr;
  for (const auto& unit : m_units) {
    if (unit->m_nId == id) return unit.get();
  }
  return nullptr;
}

void CTessaraDoc::OnNewDocument(const PanelSettings& current) {
  DeleteContents();
  m_strPathName.clear();
  m_nWidthWords = current.widthWords;
  m_nHeightWords = current.heightWords;
  m_nFrames = current.frames;
  m_nColourSet = current.colourSet;
}

void CTessaraDoc::LoadFile(const std::filesystem::path& path, const PanelSettings& current) {
  try {
    LoadFromBytes(ReadWholeFile(path, kMaxFileBytes));
  } catch (const FileError& e) {
    throw DocumentError(e.what());
  } catch (const std::runtime_error& e) {  // ArchiveError, DocumentError
    throw DocumentError(path.string() + ": " + e.what());
  }
  m_strPathName = path;
  m_nColourSet = current.colourSet;
  m_history.Clear();
}

void CTessaraDoc::OnOpenDocument(const std::filesystem::path& path, const PanelSettings& current) {
  LoadFile(path, current);
  for (std::size_t i = 0; i < m_readProblems.size(); ++i) ReportMessage("Read error");
}

void CTessaraDoc::OnSaveDocument(const std::filesystem::path& path) {
  try {
    WriteFileAtomically(path, SaveToBytes());
  } catch (const FileError& e) {
    throw DocumentError(e.what());
  }
  m_strPathName = path;
  m_history.MarkClean();
}

void CTessaraDoc::OnCloseDocument() { DeleteContents(); }

void CTessaraDoc::ApplyPanelSettings(PanelSettings& current, SettingsStore& store) const {
  current = {m_nWidthWords, m_nHeightWords, m_nFrames, m_nColourSet};
  current.Save(store);
}

std::string CTessaraDoc::GetTitle() const {
  return m_strPathName.empty() ? std::string("Tessara") : m_strPathName.filename().string();
}

ClockSettings CTessaraDoc::ClockSettingsForDrawing() const {
  return {m_nClockStyle, m_nClockColour, m_nClockAlign, m_nWidthWords, m_nHeightWords, m_nFrames};
}

void CTessaraDoc::PlaceClock(const LocalTime& time) {
  const ClockSettings settings = ClockSettingsForDrawing();
  for (const auto& unit : m_units) {
    auto* clock = ObjectCast<CTimer>(unit.get());
    if (!clock) continue;
    const std::string text = CTimer::ClockText(settings.style, time);
    clock->Place(settings, ClockTextExtent(text));
    if (const auto position = CTimer::PositionOnPanel(clock->m_ptFirst.y, ClockFontHeight(), settings)) {
      m_nClockFrame = position->frame;
      m_nClockRow = position->row;
    }
  }
}

void CTessaraDoc::FitTextsToFrames() {
  for (auto& unit : m_units) FitTextToFrames(*unit);
}

void CTessaraDoc::FitTextToFrames(CUnit& unit) const {
  if (auto* text = ObjectCast<CText>(&unit)) text->m_nBandHeight = m_nHeightWords * kWordPixels;
}

CSize CTessaraDoc::CanvasPixels() const {
  return {m_nWidthWords * kWordPixels, m_nFrames * m_nHeightWords * kWordPixels};
}

CSize CTessaraDoc::StripPixels() const {
  return {m_nFrames * m_nWidthWords * kWordPixels, m_nHeightWords * kWordPixels};
}

void CTessaraDoc::Serialize(CArchive& ar) {
  ar.Transfer(m_sizeCanvas.cx);
  ar.Transfer(m_sizeCanvas.cy);
  ar.Transfer(m_ptViewOrigin);
  ar.Transfer(m_nWidthWords);
  ar.Transfer(m_nHeightWords);
  ar.Transfer(m_nFrames);
  ar.Transfer(m_nClockStyle);
  ar.Transfer(m_nClockRow);
  ar.Transfer(m_nClockFrame);
  ar.Transfer(m_nClockAlign);
  ar.Transfer(m_nClockColour);
  m_playMode.Serialize(ar);

  if (ar.IsStoring()) {
    WriteUnitArray(ar, m_units);
    return;
  }

  if (!IsValidGeometry(m_nWidthWords, m_nHeightWords, m_nFrames)) {
    throw DocumentError("panel size out of range: " + std::to_string(m_nWidthWords) + " x " +
                        std::to_string(m_nHeightWords) + " words, " + std::to_string(m_nFrames) + " frames");
  }
  m_units = ReadUnitArray(ar, m_readProblems, [this](CUnit& unit) {
    unit.m_nId = NewUnitId();
    FitTextToFrames(unit);
  });
}

std::vector<std::uint8_t> CTessaraDoc::SaveToBytes() {
  CArchive ar(UnitClasses());
  Serialize(ar);
  return ar.Output().TakeBytes();
}

void CTessaraDoc::LoadFromBytes(std::span<const std::uint8_t> bytes) {
  CTessaraDoc loaded;
  loaded.m_nLastUnitId = m_nLastUnitId;  // the loaded units take ids never given in this document
  CArchive ar(bytes, UnitClasses());
  loaded.Serialize(ar);
  m_history.Clear();
  m_units = std::move(loaded.m_units);
  m_nLastUnitId = loaded.m_nLastUnitId;
  m_readProblems = std::move(loaded.m_readProblems);
  m_sizeCanvas = loaded.m_sizeCanvas;
  m_ptViewOrigin = loaded.m_ptViewOrigin;
  m_playMode = loaded.m_playMode;
  m_nWidthWords = loaded.m_nWidthWords;
  m_nHeightWords = loaded.m_nHeightWords;
  m_nFrames = loaded.m_nFrames;
  m_nClockStyle = loaded.m_nClockStyle;
  m_nClockColour = loaded.m_nClockColour;
  m_nClockRow = loaded.m_nClockRow;
  m_nClockFrame = loaded.m_nClockFrame;
  m_nClockAlign = loaded.m_nClockAlign;
}

}  // namespace lumetra
