#pragma once
// CTessaraView: the editing view without a window. It holds the mouse-tool
// state that the view's handlers and the units share while the user draws,
// picks, resizes and moves units, runs the mouse state machine and the edit
// commands in canvas coordinates, and paints the canvas into a bitmap. What
// needs a screen goes through a ViewHost.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "document/edit_history.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "platform/types.h"
#include "units/editing_view.h"
#include "view/style_page.h"
#include "view/unit_bounds_cache.h"
#include "view/view_commands.h"
#include "view/view_host.h"

namespace lumetra {

class CTessaraDoc;
class CUnit;

// Keys the view handles.
enum ViewKey : std::int32_t {
  kKeyHome = 0x24,
  kKeyLeft = 0x25,
  kKeyUp = 0x26,
  kKeyRight = 0x27,
  kKeyDown = 0x28,
  kKeyDelete = 0x2E,
  kKeyEscape = 0x1B,
};

// How far from a handle a press grabs it at `zoom`: about six screen pixels,
// at least one LED.
inline std::int64_t HandleReachAt(double zoom) {
  return std::max<std::int64_t>(1, std::int64_t(std::ceil(6.0 / (zoom > 0 ? zoom : 1.0))));
}

struct CommandState {
  bool enabled = true;
  bool checked = false;
};

class CTessaraView : public EditingView {
 public:
  CTessaraView() = default;
  CTessaraView(const CTessaraView&) = delete;
  CTessaraView& operator=(const CTessaraView&) = delete;

  void SetHost(ViewHost* host) { m_pHost = host; }
  ViewHost* Host() const { return m_pHost; }
  void SetDocument(CTessaraDoc* document) { m_pDocument = document; }
  CTessaraDoc* GetDocument() const { return m_pDocument; }
  // The style page the views share (owned by whoever shows it).
  void SetStylePage(StylePageValues* page) { m_pStylePage = page; }

  // Shows a pop-up menu with the view as owner, the delete and clock items
  // relabelled in the current language; without a host there is nowhere to show it.
  void TrackPopupMenu(const PopupMenuRequest& request) override;

  // Rendering and coordinates.
  // Shows the document from its start: nothing selected, select mode, the
  // clock placed as the document's panel shows it; the document is unmodified.
  void OnInitialUpdate();
  // The zoomed canvas size, handed to the host for the scroll range and frame.
  void UpdateCanvasSize();
  CSize ZoomedCanvasSize() const;
  // Paints the canvas at LED resolution into `dc`: black field, blue frame
  // separators, the units in order with the selected ones' handles. With a
  // clip rectangle only that part is painted, with the same pixels.
  void OnDraw(CDC& dc, const std::optional<CRect>& clip = std::nullopt) const;
  // Prints the units at LED resolution with the view's window origin; the
  // caller enlarges the result for the printer.
  void OnPrint(CDC& dc) const;
  // A client point of the window to the canvas (scroll, origin and zoom applied); also the mouse position.
  CPoint ToCanvas(CPoint client);
  void OnZoom(std::uint32_t factor);
  // The zoom factors the editor offers.
  static constexpr std::int32_t kMinZoom = 1, kMaxZoom = 6;
  // Steps the zoom by `steps` within kMinZoom..kMaxZoom and scrolls so that
  // the LED under the client point `anchor` stays under it, as far as the
  // scroll range allows.
  void StepZoom(std::int32_t steps, CPoint anchor);
  // Keys; `shift` with the arrows moves the selection by a word of LEDs.
  void OnKeyDown(std::int32_t key, bool shift = false);
  void OnKeyUp(std::int32_t key);

  // The mouse, in client points of the window.
  // With `extendSelection` (Shift) a press adds the unit under it to the
  // selection or takes it out.
  void OnLButtonDown(CPoint client, bool extendSelection = false);
  void OnMouseMove(CPoint client, bool leftButtonDown);
  void OnLButtonUp(CPoint client);
  void OnLButtonDblClk(CPoint client);
  void OnContextMenu(CPoint screen, CPoint client);
  // The cursor resource of the mouse mode; none where the current cursor stays.
  std::optional<std::int32_t> CursorResource() const;

  // Commands of the menus and tool bars.
  void OnCommand(std::int32_t command);
  CommandState GetCommandState(std::int32_t command) const;

  void DeleteSelected();
  void ApplyStyleToCurrentUnit();
  void MarkForCopy();
  void PasteMarked();
  void CentreHorizontally();
  void CentreVertically();
  void ImportPicture();
  // Adds the picture of a file with its top-left LED under the client point
  // `at` (the first LED the window shows by default), selected.
  void ImportPictureFile(const std::filesystem::path& path, CPoint at = {0, 0});
  void ChangeScreenSize();
  void EditPlayMode();
  void ShowPreview();
  void EditClockOptions();
  void SaveAsBmpFile();
  void SelectAll();
  // The system clipboard, through the host: the selected units or the
  // current one, the clock left out. Pasted units are selected.
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  // The drawing order of the selected units or the current one (the unit
  // array's order, index 0 at the bottom); their order among themselves stays.
  enum class OrderChange { kToFront, kToBack, kForward, kBackward };
  void ChangeDrawingOrder(OrderChange change);
  // The selected units, bottom to top.
  std::vector<CUnit*> SelectedUnits() const;
  // The rubber band while one is drawn, from the press to the mouse.
  const std::optional<CRect>& RubberBand() const { return m_rubberBand; }
  // Undoes or redoes the document's last step; the current and the marked
  // unit stay current and marked when the document still holds them.
  void Undo();
  void Redo();

  // Repaints the whole canvas, the boxes kept of the units taken anew: after
  // every change but the steps of a drag and the nudges, which repaint what
  // they changed.
  void Repaint(bool erase = true);

  // The clocks in the document; the clock tool is offered only while there is none.
  std::int32_t m_nClockCount = 0;

  // Rendering state.
  float m_fZoom = 1.0f;
  CPoint m_ptOrigin;
  CUnit* m_pMarkedUnit = nullptr;  // not owning

 private:
  // The boxes that `units`, the clocks and the rubber band paint now, one
  // for each, in that order; the units' boxes are kept anew.
  std::vector<CRect> PaintedBoxes(const std::vector<CUnit*>& units) const;
  // After a step that changed `units` alone (and placed the clocks): keeps
  // their new boxes and repaints, for each, what it painted before the step
  // (`before`, their PaintedBoxes then) and what it paints now.
  void RepaintChanged(const std::vector<CUnit*>& units, const std::vector<CRect>& before);
  // The units a drag step changes.
  std::vector<CUnit*> DraggedUnits() const;
  // Every change of the document is a step of its history (EditHistory):
  // Begin opens it, Commit closes it.
  void BeginChange(StepKind kind);
  void CommitChange();
  // Touches the document's clocks, which PlaceClock may move.
  void TouchClocks();
  void ChooseTool(std::int32_t tool);
  std::unique_ptr<CUnit> MakeUnitOfTool(std::int32_t x, std::int32_t y);
  void PressInSelectMode(std::int32_t x, std::int32_t y, bool extend);
  void SelectInBand();
  // The style page shows the current unit's style.
  void ShowCurrentStyle();
  // Moves every selected unit by (dx, dy) inside the open change; the clock
  // is placed again.
  void MoveSelection(std::int64_t dx, std::int64_t dy);
  // The arrow keys: the selection moves by (dx, dy), consecutive presses making one step.
  void NudgeSelection(std::int32_t dx, std::int32_t dy);
  std::optional<CRect> m_rubberBand;
  // The box round which the rubber band's frame goes: the frame runs over
  // the LEDs of the press and of the mouse.
  CRect RubberBandFrame() const;
  bool m_bGroupMove = false;  // the drag moves every selected unit
  bool m_bNudging = false;    // the last key moved the selection
  // Takes back the unit the open change created, leaving no step.
  void DiscardNewUnit();
  void TakePendingGrab(CDC& dc);
  // A press on a handle waits for the mouse to move before the unit takes
  // it, so a click reshapes nothing; the drag then moves the handle by the
  // mouse's movement, not to where the press was.
  struct PendingGrab {
    CPoint press;
    CPoint handle;
    std::int32_t number;
  };
  std::optional<PendingGrab> m_pendingGrab;
  CPoint m_grabOffset;  // from the mouse to the handle while a handle is dragged
  // Cancels the drag under way (Escape): the units are as before the press.
  void CancelDrag();
  // After undo or redo: the current, marked and selected units found again by id, the
  // clocks counted, the canvas sized to the document.
  struct HeldUnits {
    std::uint64_t current;
    std::uint64_t marked;
    std::vector<std::uint64_t> selected;
  };
  HeldUnits HoldUnits() const;
  // Undo or Redo when the history can, the units held found again after it.
  void MoveInHistory(bool (EditHistory::*can)() const, void (EditHistory::*move)());
  void FollowHistory(const HeldUnits& held);
  // A unit held before the history moved, found again by the id it had then
  // (a unit without an id was left alone).
  CUnit* Refound(CUnit* unit, std::uint64_t id) const;
  // A fresh drawing context for one mouse event, in the default state (so a
  // new unit's raster operation is R2_COPYPEN): the units draw their
  // feedback into it, and every change is followed by a full repaint.
  CDC FeedbackDC() { return CDC(m_feedback); }
  // What centring, the clipboard and the drawing order act on: the selected
  // units, or the current one; centring moves them as one box.
  std::vector<CUnit*> UnitsActedOn() const;
  CRect CentredBox() const;
  // The units of UnitsActedOn that the clipboard takes; with a clock among
  // them the status bar says it stays.
  std::vector<CUnit*> UnitsToCopy();
  // Takes `units` out of the document in one step of `kind`.
  void RemoveUnits(StepKind kind, const std::vector<CUnit*>& units);
  // No gesture under way, the select tool chosen.
  void ResetToSelectMode();
  // Whether ChangeDrawingOrder would move anything: some acted-on unit has
  // another unit in front of it (or behind it).
  bool OrderCanChange(bool towardsFront) const;
  void ShiftCurrentUnit(std::int64_t dx, std::int64_t dy);
  // After an edit that may move the clock or change what it shows: the
  // document places it and says where the panel shows it (now).
  void PlaceClock();
  // After an edit of the current unit: the clock is placed, and the units
  // that keep their corners in order get them back.
  void SettleCurrentUnit();

  ViewHost* m_pHost = nullptr;
  CTessaraDoc* m_pDocument = nullptr;
  StylePageValues* m_pStylePage = nullptr;
  Bitmap32 m_feedback{1, 1};
  // The units' boxes as painted, so that a repaint of part of the canvas
  // draws only the units that paint there.
  mutable UnitBoundsCache m_unitBounds;
};

}  // namespace lumetra
