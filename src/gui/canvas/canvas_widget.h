#pragma once
// The scrolling canvas of one document: it owns the document's editing view,
// shows the canvas with every LED as a zoom × zoom block, and hands mouse,
// keys and context menus to the view. It is the view's ViewHost.

#include <QAbstractScrollArea>
#include <QImage>

#include <string>

#include "platform/gdi/bitmap.h"
#include "view/tessara_view.h"
#include "view/view_host.h"

namespace lumetra {
class CTessaraDoc;
struct StylePageValues;
}  // namespace lumetra

namespace lumetra::gui {

class CanvasWidget : public QAbstractScrollArea, public ViewHost {
  Q_OBJECT

 public:
  CanvasWidget(CTessaraDoc& document, StylePageValues* stylePage, QWidget* parent = nullptr);
  ~CanvasWidget() override;

  CTessaraView& View() { return view_; }

  // ViewHost
  void ShowPopupMenu(const PopupMenuRequest& request) override;
  void Invalidate(bool erase) override;
  void InvalidateArea(const CRect& area) override;
  void SetMouseCapture(bool captured) override;
  void ShowMessage(const std::string& text) override;
  void ShowStatus(const std::string& text) override;
  void ShowMousePosition(CPoint canvas, CPoint client) override;
  void SetWaitCursor(bool waiting) override;
  void StylePageChanged() override;
  CPoint ScrollPosition() const override;
  CSize ClientSize() const override;
  void ScrollTo(CPoint position) override;
  void CanvasSizeChanged(CSize zoomed) override;
  void PanelSettingsChanged(const CTessaraDoc& document) override;
  DialogOutcome EditTextProperties(CText& text, bool newUnit, const std::function<void()>& applied) override;
  bool EditClockOptions(ClockOptions& options) override;
  bool EditScreenSize(ScreenSizeValues& values) override;
  DialogOutcome EditPlayModes(CPlayModeSet& modes, std::int32_t frames,
                              const std::function<void()>& applied) override;
  void ShowPreview(const Bitmap32& strip, std::int32_t frameWidth, std::int32_t frameHeight,
                   std::int32_t frames) override;
  void ToggleZoomList() override;
  bool ZoomListVisible() const override;
  void PutUnitsOnClipboard(const ClipboardUnits& units) override;
  bool ClipboardHoldsUnits() const override;
  std::optional<std::vector<std::uint8_t>> UnitsOnClipboard() const override;
  std::optional<std::filesystem::path> ChoosePictureToImport() override;
  std::optional<PictureReduction> ChoosePictureReduction(const RgbaPicture& picture, const std::string& name,
                                                         int colourSet, CSize frame) override;
  std::optional<std::filesystem::path> ChooseBmpToSave() override;

  // The zoomed canvas with the scroll bars' room: what the child frame needs.
  QSize CanvasFrameSize() const;

 signals:
  void mousePositionChanged(QPoint canvas, QPoint client);
  void stylePageChanged();
  void canvasSizeChanged();
  void panelSettingsChanged();
  // Something a command's state may depend on changed (selection, tool, document).
  void viewStateChanged();
  // "Apply..." of the play modes, while their dialog is open.
  void applyPlayModesRequested();
  // The document's history made, undid or redid a step.
  void historyChanged();
  // A passing note for the status bar.
  void statusMessage(const QString& text);
  // Documents dropped onto the canvas, to be opened as the main window opens them.
  void documentsDropped(const QStringList& paths);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  // The status bar says how many characters the current text's box cuts
  // off, whenever that text or the number changes.
  void ReportClippedText();
  void UpdateScrollBars();
  // Ctrl+wheel and the zoom keys: one factor in or out about a client point.
  void StepZoom(int steps, QPoint anchor);
  void UpdateCursor();
  // After every event the view handled: its cursor and the commands' states.
  void AfterViewEvent();

  CTessaraDoc& document_;
  CTessaraView view_;
  CSize zoomedCanvas_;
  Bitmap32 canvas_;  // the whole canvas at one pixel per LED, repainted where exposed
  // Asking the clipboard's owner is a round trip to another program: the
  // answer is kept until the clipboard changes.
  bool clipboardHoldsUnits_ = false;
  const CUnit* clippedTextReported_ = nullptr;
  std::int32_t clippedCountReported_ = 0;
  class CZoomListDlg* zoomList_ = nullptr;  // made on first use, lives as long as the canvas
};

// Our own cursor images: 188 the select arrow, 189 the drawing cross.
QCursor CursorForResource(int resource);

}  // namespace lumetra::gui
