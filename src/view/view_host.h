#pragma once
// ViewHost: what the editing view needs from a screen. The editor's canvas
// widget implements it; tests implement it with a scripted fake.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "document/picture_import.h"
#include "platform/gdi/bitmap.h"
#include "platform/types.h"
#include "units/editing_view.h"
#include "view/unit_clipboard.h"

namespace lumetra {

class CText;
class CPlayModeSet;
class CTessaraDoc;

// The clock options as the clock dialog edits them.
struct ClockOptions {
  std::int32_t style = 0;
  std::int32_t colour = 0;
  std::int32_t align = 0;
  std::int32_t colourSet = 0;
  bool operator==(const ClockOptions&) const = default;
};

// The panel geometry as the screen-size dialog edits it.
struct ScreenSizeValues {
  std::int32_t widthWords = 0;
  std::int32_t heightWords = 0;
  std::int32_t frames = 0;
  std::int32_t colourSet = 0;
  bool fromDocument = true;
};

// How a dialog with an Apply button ended: only a Cancel with nothing
// applied before it leaves what the dialog edits as it was.
enum class DialogOutcome { kCancelled, kCancelledAfterApply, kAccepted };

// Everything has a harmless default, so a host implements what it shows:
// dialogs default to Cancel, requests to nothing.
class ViewHost {
 public:
  virtual ~ViewHost() = default;

  virtual void ShowPopupMenu(const PopupMenuRequest& request) = 0;
  // The view's picture changed; `erase` as the original request asked.
  virtual void Invalidate(bool /*erase*/) {}
  // Only `area` of the canvas changed (LEDs, right and bottom edges outside).
  virtual void InvalidateArea(const CRect& /*area*/) { Invalidate(true); }
  virtual void SetMouseCapture(bool /*captured*/) {}
  // A message box with the application's title and an OK button.
  virtual void ShowMessage(const std::string& /*text*/) {}
  // A passing note in the status bar's message pane.
  virtual void ShowStatus(const std::string& /*text*/) {}
  // The status bar's mouse position: the canvas point and the unscrolled client point in LEDs.
  virtual void ShowMousePosition(CPoint /*canvas*/, CPoint /*client*/) {}
  virtual void SetWaitCursor(bool /*waiting*/) {}
  // The style page's values changed under it (a unit was picked): it shows them again.
  virtual void StylePageChanged() {}

  // Scrolling, in device pixels of the zoomed canvas.
  virtual CPoint ScrollPosition() const { return {}; }
  virtual CSize ClientSize() const { return {}; }
  virtual void ScrollTo(CPoint /*position*/) {}
  // The zoomed canvas size: the scroll range and the child frame follow it.
  virtual void CanvasSizeChanged(CSize /*zoomed*/) {}
  // The running program's panel settings, the style swatches and the
  // settings store follow a document's new geometry.
  virtual void PanelSettingsChanged(const CTessaraDoc& /*document*/) {}

  // Modal dialogs; true for OK. The dialogs with an Apply button edit in
  // place and call `applied` after each Apply has put its values in.
  virtual DialogOutcome EditTextProperties(CText& /*text*/, bool /*newUnit*/,
                                           const std::function<void()>& /*applied*/) {
    return DialogOutcome::kCancelled;
  }
  virtual bool EditClockOptions(ClockOptions& /*options*/) { return false; }
  virtual bool EditScreenSize(ScreenSizeValues& /*values*/) { return false; }
  virtual DialogOutcome EditPlayModes(CPlayModeSet& /*modes*/, std::int32_t /*frames*/,
                                      const std::function<void()>& /*applied*/) {
    return DialogOutcome::kCancelled;
  }
  // The Preview: the picture strip (frames side by side, clocks drawn when
  // the view has one) played frame by frame.
  virtual void ShowPreview(const Bitmap32& /*strip*/, std::int32_t /*frameWidth*/, std::int32_t /*frameHeight*/,
                           std::int32_t /*frames*/) {}
  // The Zoom In list: shown or hidden by each call; it lives as long as the view.
  virtual void ToggleZoomList() {}
  virtual bool ZoomListVisible() const { return false; }
  // The system clipboard: units put on it, whether it holds units of ours,
  // and their bytes (kUnitsMimeType) when it does.
  virtual void PutUnitsOnClipboard(const ClipboardUnits& /*units*/) {}
  virtual bool ClipboardHoldsUnits() const { return false; }
  virtual std::optional<std::vector<std::uint8_t>> UnitsOnClipboard() const { return std::nullopt; }
  virtual std::optional<std::filesystem::path> ChoosePictureToImport() { return std::nullopt; }
  // How a picture other than a plain BMP becomes the panel's LEDs: asked
  // with a preview in the colour set on a frame of `frame` LEDs; nothing
  // when the user cancels.
  virtual std::optional<PictureReduction> ChoosePictureReduction(const RgbaPicture& /*picture*/,
                                                                 const std::string& /*name*/, int /*colourSet*/,
                                                                 CSize /*frame*/) {
    return std::nullopt;
  }
  virtual std::optional<std::filesystem::path> ChooseBmpToSave() { return std::nullopt; }
};

}  // namespace lumetra
