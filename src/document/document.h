#pragma once
// CTessaraDoc: one picture for an LED panel. It owns its units in painting
// order (index 0 at the bottom), the panel geometry, the clock options and the
// play modes, and reads and writes the ".tz" document file.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "document/edit_history.h"
#include "document/panel_settings.h"
#include "document/play_mode_set.h"
#include "platform/types.h"
#include "platform/local_time.h"
#include "units/draw_context.h"
#include "units/unit.h"
#include "units/unit_classes.h"

namespace lumetra {

class CArchive;
class SettingsStore;

// A document that cannot be read or written; the text names the file and the reason.
class DocumentError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class CTessaraDoc {
 public:
  static constexpr std::size_t kMaxFileBytes = 256u * 1024 * 1024;

  CTessaraDoc();
  ~CTessaraDoc();
  CTessaraDoc(const CTessaraDoc&) = delete;
  CTessaraDoc& operator=(const CTessaraDoc&) = delete;

  // An empty document for the running program's panel.
  void OnNewDocument(const PanelSettings& current);
  // Reads the file; the colour set comes from the running program's panel,
  // since files do not carry one. Throws DocumentError and leaves the document
  // as it was when the file cannot be read or is not a valid document. Units
  // that could not be read as stored are listed in ReadProblems().
  void LoadFile(const std::filesystem::path& path, const PanelSettings& current);
  // The editor's open: LoadFile, then "Read error" for every unit in ReadProblems().
  void OnOpenDocument(const std::filesystem::path& path, const PanelSettings& current);
  // Writes the file through a temporary file and marks the history clean.
  // Throws DocumentError and leaves both the old file and the flag alone on failure.
  void OnSaveDocument(const std::filesystem::path& path);
  // Destroys the units, last to first.
  void OnCloseDocument();

  // The document's geometry becomes the running program's panel and is kept in the store.
  void ApplyPanelSettings(PanelSettings& current, SettingsStore& store) const;

  // Every change goes through the history; the document is modified when
  // it is not where it was last opened, made or saved.
  EditHistory& History() { return m_history; }
  const EditHistory& History() const { return m_history; }
  bool IsModified() const { return !m_history.IsClean(); }
  // A new id for a unit, never given before in this document.
  std::uint64_t NewUnitId() { return ++m_nLastUnitId; }
  // The unit with `id`, or nullptr when the document does not hold it.
  CUnit* FindUnit(std::uint64_t id) const;
  // Tells this document from every other open one, in this program and,
  // almost certainly, in any other running at the same time.
  std::uint64_t InstanceToken() const { return m_nInstanceToken; }
  const std::filesystem::path& GetPathName() const { return m_strPathName; }
  std::string GetTitle() const;

  // Loading gives the units new ids and fits the texts to the frames.
  void Serialize(CArchive& ar);
  std::vector<std::uint8_t> SaveToBytes();
  // Replaces the content with the document in bytes; throws ArchiveError or
  // DocumentError, in which case nothing has changed.
  void LoadFromBytes(std::span<const std::uint8_t> bytes);
  // The units the last load could not read as they were stored, in unit order.
  const std::vector<UnitReadProblem>& ReadProblems() const { return m_readProblems; }

  // The clock draws by the clock options and the panel geometry.
  ClockSettings ClockSettingsForDrawing() const;
  // What the units are drawn by, with the clock showing `time`.
  DrawContext DrawContextAt(const LocalTime& time) const { return {ClockSettingsForDrawing(), time}; }
  // After the clock was made or moved, or the panel or the clock options
  // changed: the clock unit is placed around its text at `time` in the clock
  // font, and m_nClockFrame and m_nClockRow say where the panel shows it,
  // which depends only on the clock's top edge, the frame height and the
  // font. Without a clock, or without a frame height, the frame and row stay.
  // The modified flag is the caller's.
  void PlaceClock(const LocalTime& time);

  // Text rows are laid out in bands of the frame height, which the text
  // units do not store: every text unit takes the document's. Reading a
  // document fits each text as it is read; call this whenever the frame
  // height may have changed.
  void FitTextsToFrames();

  // Canvas size in LED pixels: all frames stacked.
  CSize CanvasPixels() const;
  // The picture the panel receives: the frames side by side.
  CSize StripPixels() const;

  std::vector<std::unique_ptr<CUnit>> m_units;
  CSize m_sizeCanvas{384, 64};
  CPoint m_ptViewOrigin;
  CPlayModeSet m_playMode;
  std::int32_t m_nWidthWords = 8;
  std::int32_t m_nHeightWords = 1;
  std::int32_t m_nFrames = 15;
  std::uint8_t m_nClockStyle = 0;
  std::uint8_t m_nClockColour = 0;
  std::uint8_t m_nClockRow = 0;
  std::uint8_t m_nClockFrame = 0;
  std::uint8_t m_nClockAlign = 0;
  std::int32_t m_nColourSet = 0;  // never stored

 private:
  void DeleteContents();
  // FitTextsToFrames for one unit.
  void FitTextToFrames(CUnit& unit) const;

  std::filesystem::path m_strPathName;
  std::uint64_t m_nLastUnitId = 0;
  std::uint64_t m_nInstanceToken;
  EditHistory m_history{*this};
  std::vector<UnitReadProblem> m_readProblems;
};

}  // namespace lumetra
