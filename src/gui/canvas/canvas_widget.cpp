#include "gui/canvas/canvas_widget.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QShortcut>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <vector>

#include "document/document.h"
#include "gui/dialogs/dialog_translation.h"
#include "gui/dialogs/file_choosers.h"
#include "gui/dialogs/picture_import_dialog.h"
#include "gui/dialogs/play_mode_dialog.h"
#include "gui/dialogs/preview_dialog.h"
#include "gui/dialogs/screen_size_dialog.h"
#include "gui/dialogs/text_properties_dialog.h"
#include "gui/dialogs/timer_option_dialog.h"
#include "gui/dialogs/zoom_list_dialog.h"
#include "lang/message_text.h"
#include "platform/codepage/codepage.h"
#include "platform/gdi/dc.h"
#include "units/text.h"
#include "view/style_page.h"
#include "view/view_commands.h"

namespace lumetra::gui {
namespace {

// The items of the units' pop-up menus, with their resource texts; a
// command of 0 is a separator.
struct MenuItem {
  std::int32_t command;
  const char* text;
};

std::vector<MenuItem> MenuItems(std::int32_t menuId) {
  // A picked unit's menu ends with the drawing order.
  const auto withOrder = [](std::vector<MenuItem> items) {
    items.insert(items.end(), {{0, nullptr},
                               {kCmdBringToFront, "Bring to Front"},
                               {kCmdSendToBack, "Send to Back"},
                               {kCmdBringForward, "Bring Forward"},
                               {kCmdSendBackward, "Send Backward"}});
    return items;
  };
  switch (menuId) {
    case kMenuCanvasEdit:
      return {{kCmdRotate, "Rotate"}};
    case kMenuBezierCreate:
      return {{kCmdBezierOk, "OK"}};
    case kMenuTimerEdit:
      return withOrder({{kCmdTimerDelete, "Delete"}, {kCmdTimerSet, "Set..."}});
    case kMenuUnitDelete:
      return withOrder({{kCmdDelete, "Delete"}});
    default:
      return {};
  }
}

// The keys the view reacts to, as the virtual-key codes it knows.
std::optional<std::int32_t> ViewKey(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Home:
      return kKeyHome;
    case Qt::Key_Left:
      return kKeyLeft;
    case Qt::Key_Up:
      return kKeyUp;
    case Qt::Key_Right:
      return kKeyRight;
    case Qt::Key_Down:
      return kKeyDown;
    case Qt::Key_Delete:
      return kKeyDelete;
    case Qt::Key_Escape:
      return kKeyEscape;
    default:
      return std::nullopt;
  }
}

CPoint ToPoint(const QPoint& p) { return {p.x(), p.y()}; }

// The menu items whose texts name the picture choosers.
constexpr int kImportBmpTextKey = 32821;
constexpr int kSaveAsBmpTextKey = 32860;

DialogOutcome OutcomeOf(int result, bool appliedAny) {
  if (result == QDialog::Accepted) return DialogOutcome::kAccepted;
  return appliedAny ? DialogOutcome::kCancelledAfterApply : DialogOutcome::kCancelled;
}

}  // namespace

QCursor CursorForResource(int resource) {
  // Hot spots as the cursor images were drawn: the arrow's tip, the cross's centre.
  const QPoint hotSpot = resource == kCursorSelect ? QPoint(1, 1) : QPoint(15, 15);
  const QPixmap image(QString(":/cursors/cursor-%1.png").arg(resource));
  if (image.isNull()) return resource == kCursorSelect ? QCursor(Qt::ArrowCursor) : QCursor(Qt::CrossCursor);
  return QCursor(image, hotSpot.x(), hotSpot.y());
}

CanvasWidget::CanvasWidget(CTessaraDoc& document, StylePageValues* stylePage, QWidget* parent)
    : QAbstractScrollArea(parent), document_(document) {
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setMouseTracking(true);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  // Pictures dropped on the canvas are imported where they land.
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  view_.SetHost(this);
  view_.SetDocument(&document_);
  view_.SetStylePage(stylePage);
  view_.OnInitialUpdate();
  document_.History().SetListener([this] { emit historyChanged(); });
  connect(this, &CanvasWidget::historyChanged, this, [this] {
    clippedTextReported_ = nullptr;  // the unit may be gone, and its count changed
    ReportClippedText();
  });
  connect(this, &CanvasWidget::viewStateChanged, this, &CanvasWidget::ReportClippedText);
  const auto lookAtClipboard = [this] {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    clipboardHoldsUnits_ = data && data->hasFormat(QLatin1String(kUnitsMimeType));
  };
  lookAtClipboard();
  connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, lookAtClipboard);
  UpdateCursor();
  // The standard zoom keys step about the middle of the window.
  for (const auto& [keys, steps] : {std::pair{QKeySequence::ZoomIn, 1}, {QKeySequence::ZoomOut, -1}}) {
    auto* shortcut = new QShortcut(QKeySequence(keys), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(shortcut, &QShortcut::activated, this, [this, steps] { StepZoom(steps, viewport()->rect().center()); });
  }
}

// The document may outlive its window.
CanvasWidget::~CanvasWidget() { document_.History().SetListener(nullptr); }

void CanvasWidget::ShowPopupMenu(const PopupMenuRequest& request) {
  QMenu menu(this);
  for (const MenuItem& item : MenuItems(request.menuId)) {
    if (item.command == 0) {
      menu.addSeparator();
      continue;
    }
    QAction* action = menu.addAction(QString::fromLatin1(item.text));
    action->setData(item.command);
    for (const PopupMenuItemState& state : request.itemStates) {
      if (state.command != item.command) continue;
      if (state.checked) {
        action->setCheckable(true);
        action->setChecked(true);
      }
      if (!state.label.empty()) action->setText(FromUtf8(state.label));
    }
  }
  if (QAction* chosen = menu.exec(QPoint(request.screenPoint.x, request.screenPoint.y))) {
    view_.OnCommand(chosen->data().toInt());
    AfterViewEvent();
  }
}

void CanvasWidget::Invalidate(bool) { viewport()->update(); }

// The LEDs of `area` as the window shows them, zoomed and scrolled.
void CanvasWidget::InvalidateArea(const CRect& area) {
  if (area.IsEmpty()) return;
  const double zoom = view_.m_fZoom > 0 ? view_.m_fZoom : 1.0;
  const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
  const QRectF shown(area.left * zoom - scroll.x(), area.top * zoom - scroll.y(), double(area.Width()) * zoom,
                     double(area.Height()) * zoom);
  viewport()->update(shown.toAlignedRect().intersected(viewport()->rect()));
}

void CanvasWidget::SetMouseCapture(bool captured) {
  // Qt already keeps the mouse with the widget that took the press; a capture
  // outside a press (the Bezier's rubber segment) is taken explicitly.
  if (captured && QWidget::mouseGrabber() != viewport()) viewport()->grabMouse();
  if (!captured && QWidget::mouseGrabber() == viewport()) viewport()->releaseMouse();
}

void CanvasWidget::ShowMessage(const std::string& text) {
  QMessageBox::information(this, QStringLiteral("Tessara"), FromUtf8(text));
}

void CanvasWidget::ShowStatus(const std::string& text) { emit statusMessage(FromUtf8(text)); }

void CanvasWidget::ReportClippedText() {
  const auto* text = dynamic_cast<const CText*>(view_.m_pCurUnit);
  const std::int32_t clipped = text ? text->ClippedCharacters() : 0;
  if (text == clippedTextReported_ && clipped == clippedCountReported_) return;
  const bool wasReported = clippedCountReported_ > 0;
  clippedTextReported_ = text;
  clippedCountReported_ = clipped;
  if (clipped > 0) {
    ShowStatus(FormatText(text_key::kTextClipped, {std::to_string(clipped)}));
  } else if (wasReported) {
    ShowStatus({});  // the text fits now, or another unit is current
  }
}

void CanvasWidget::PutUnitsOnClipboard(const ClipboardUnits& units) {
  auto* data = new QMimeData;
  data->setData(QLatin1String(kUnitsMimeType),
                QByteArray(reinterpret_cast<const char*>(units.archive.data()), qsizetype(units.archive.size())));
  if (!units.png.empty()) {
    data->setData(QLatin1String(kPngMimeType),
                  QByteArray(reinterpret_cast<const char*>(units.png.data()), qsizetype(units.png.size())));
  }
  QGuiApplication::clipboard()->setMimeData(data);
}

bool CanvasWidget::ClipboardHoldsUnits() const { return clipboardHoldsUnits_; }

// Beyond the largest document only the first bytes are taken: enough for the
// reader to refuse them.
std::optional<std::vector<std::uint8_t>> CanvasWidget::UnitsOnClipboard() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (!data || !data->hasFormat(QLatin1String(kUnitsMimeType))) return std::nullopt;
  const QByteArray bytes = data->data(QLatin1String(kUnitsMimeType));
  const qsizetype taken = std::min<qsizetype>(bytes.size(), qsizetype(CTessaraDoc::kMaxFileBytes) + 1);
  return std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + taken);
}

void CanvasWidget::ShowMousePosition(CPoint canvas, CPoint client) {
  emit mousePositionChanged(QPoint(canvas.x, canvas.y), QPoint(client.x, client.y));
}

void CanvasWidget::SetWaitCursor(bool waiting) {
  if (waiting) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void CanvasWidget::StylePageChanged() { emit stylePageChanged(); }

CPoint CanvasWidget::ScrollPosition() const { return {horizontalScrollBar()->value(), verticalScrollBar()->value()}; }

CSize CanvasWidget::ClientSize() const { return {viewport()->width(), viewport()->height()}; }

void CanvasWidget::ScrollTo(CPoint position) {
  horizontalScrollBar()->setValue(position.x);
  verticalScrollBar()->setValue(position.y);
}

void CanvasWidget::CanvasSizeChanged(CSize zoomed) {
  zoomedCanvas_ = zoomed;
  UpdateScrollBars();
  if (zoomList_) zoomList_->ShowFactor(int(view_.m_fZoom));
  emit canvasSizeChanged();
}

void CanvasWidget::PanelSettingsChanged(const CTessaraDoc&) { emit panelSettingsChanged(); }

DialogOutcome CanvasWidget::EditTextProperties(CText& text, bool newUnit, const std::function<void()>& applied) {
  CTextPropertiesDlg dialog(text, newUnit, applied, TextCodePage(), this);
  return OutcomeOf(dialog.exec(), dialog.AppliedAny());
}

bool CanvasWidget::EditClockOptions(ClockOptions& options) {
  CTimerOptionDlg dialog(options, this);
  if (dialog.exec() != QDialog::Accepted) return false;
  options = dialog.Values();
  return true;
}

bool CanvasWidget::EditScreenSize(ScreenSizeValues& values) {
  CScreenSizeDlg dialog(values, this);
  if (dialog.exec() != QDialog::Accepted) return false;
  values = dialog.Values();
  return true;
}

DialogOutcome CanvasWidget::EditPlayModes(CPlayModeSet& modes, std::int32_t frames,
                                          const std::function<void()>& applied) {
  CPlayModeDlg dialog(modes, frames, this);
  dialog.SetApplyHandler([this, &applied](CPlayModeSet&) {
    applied();
    emit applyPlayModesRequested();
  });
  return OutcomeOf(dialog.exec(), dialog.AppliedAny());
}

void CanvasWidget::ShowPreview(const Bitmap32& strip, std::int32_t frameWidth, std::int32_t frameHeight,
                               std::int32_t frames) {
  CPreviewDlg dialog(strip, frameWidth, frameHeight, frames, std::max(1, int(view_.m_fZoom)), this);
  dialog.exec();
}

void CanvasWidget::ToggleZoomList() {
  if (!zoomList_) {
    zoomList_ = new CZoomListDlg(this);
    zoomList_->ShowFactor(int(view_.m_fZoom));
    connect(zoomList_, &CZoomListDlg::zoomChosen, this, [this](int factor) {
      view_.OnZoom(std::uint32_t(factor));
      AfterViewEvent();
    });
    // Closed by its own button: the Zoom In button's state follows.
    connect(zoomList_, &QDialog::finished, this, &CanvasWidget::AfterViewEvent);
  }
  zoomList_->Toggle();
}

bool CanvasWidget::ZoomListVisible() const { return zoomList_ && zoomList_->isVisible(); }

std::optional<std::filesystem::path> CanvasWidget::ChoosePictureToImport() {
  const std::optional<QString> path = ChooseFileToOpen(this, PlainText(kImportBmpTextKey), PictureFileFilters());
  if (!path) return std::nullopt;
  return std::filesystem::path(path->toStdString());
}

std::optional<PictureReduction> CanvasWidget::ChoosePictureReduction(const RgbaPicture& picture,
                                                                     const std::string& name, int colourSet,
                                                                     CSize frame) {
  PictureImportDialog dialog(picture, name, colourSet, frame, this);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Reduction();
}

std::optional<std::filesystem::path> CanvasWidget::ChooseBmpToSave() {
  const std::optional<QString> path =
      ChooseFileToSave(this, PlainText(kSaveAsBmpTextKey), QString(), BmpFileFilters(), QStringLiteral("bmp"));
  if (!path) return std::nullopt;
  return std::filesystem::path(path->toStdString());
}

QSize CanvasWidget::CanvasFrameSize() const {
  return {int(zoomedCanvas_.cx) + 2 * frameWidth(), int(zoomedCanvas_.cy) + 2 * frameWidth()};
}

// The ranges come from the viewport the canvas will have once the bars it
// needs are shown, not from the current one: a range computed against a
// viewport still narrowed by bars that are no longer needed keeps them.
void CanvasWidget::UpdateScrollBars() {
  const QSize full = maximumViewportSize();
  const int barWidth = verticalScrollBar()->sizeHint().width();
  const int barHeight = horizontalScrollBar()->sizeHint().height();
  bool horizontal = zoomedCanvas_.cx > full.width();
  bool vertical = zoomedCanvas_.cy > full.height();
  if (horizontal && !vertical) vertical = zoomedCanvas_.cy > full.height() - barHeight;
  if (vertical && !horizontal) horizontal = zoomedCanvas_.cx > full.width() - barWidth;
  const QSize client(full.width() - (vertical ? barWidth : 0), full.height() - (horizontal ? barHeight : 0));
  horizontalScrollBar()->setRange(0, std::max(0, int(zoomedCanvas_.cx) - client.width()));
  horizontalScrollBar()->setPageStep(client.width());
  horizontalScrollBar()->setSingleStep(std::max(1, client.width() / 10));
  verticalScrollBar()->setRange(0, std::max(0, int(zoomedCanvas_.cy) - client.height()));
  verticalScrollBar()->setPageStep(client.height());
  verticalScrollBar()->setSingleStep(std::max(1, client.height() / 10));
}

void CanvasWidget::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollBars();
}

void CanvasWidget::scrollContentsBy(int, int) { viewport()->update(); }

// Only the exposed parts of the canvas are drawn, each at one pixel per
// LED, and then enlarged without smoothing so that each LED is a sharp block.
void CanvasWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.fillRect(event->rect(), palette().color(QPalette::Dark));
  const CSize size = document_.CanvasPixels();
  if (size.cx <= 0 || size.cy <= 0) return;
  if (canvas_.Width() != size.cx || canvas_.Height() != size.cy) canvas_ = Bitmap32(size.cx, size.cy);

  const double zoom = view_.m_fZoom > 0 ? view_.m_fZoom : 1.0;
  const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
  const QImage image(reinterpret_cast<const uchar*>(canvas_.Pixels().data()), canvas_.Width(), canvas_.Height(),
                     qsizetype(canvas_.Width()) * 4, QImage::Format_RGB32);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  CDC dc(canvas_);
  for (const QRect& exposed : event->region()) {
    const QRect zoomedExposed = exposed.translated(scroll);
    const int left = std::max(0, int(std::floor(zoomedExposed.left() / zoom)));
    const int top = std::max(0, int(std::floor(zoomedExposed.top() / zoom)));
    const int right = std::min(int(size.cx), int(std::ceil((zoomedExposed.right() + 1) / zoom)));
    const int bottom = std::min(int(size.cy), int(std::ceil((zoomedExposed.bottom() + 1) / zoom)));
    if (left >= right || top >= bottom) continue;
    view_.OnDraw(dc, CRect{left, top, right, bottom});
    const QRectF target(left * zoom - scroll.x(), top * zoom - scroll.y(), (right - left) * zoom,
                        (bottom - top) * zoom);
    painter.drawImage(target, image, QRectF(left, top, right - left, bottom - top));
  }
}

void CanvasWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  view_.OnLButtonDown(ToPoint(event->position().toPoint()), event->modifiers().testFlag(Qt::ShiftModifier));
  AfterViewEvent();
}

void CanvasWidget::mouseMoveEvent(QMouseEvent* event) {
  view_.OnMouseMove(ToPoint(event->position().toPoint()), event->buttons().testFlag(Qt::LeftButton));
  UpdateCursor();
}

void CanvasWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  view_.OnLButtonUp(ToPoint(event->position().toPoint()));
  AfterViewEvent();
}

void CanvasWidget::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

// Pictures land with their top-left LED at the drop point; documents open
// as they do when dropped on the main window. Both happen after the drop has
// ended, so a dialog they open does not hold the program the files came from.
void CanvasWidget::dropEvent(QDropEvent* event) {
  QStringList documents, pictures;
  for (const QUrl& url : event->mimeData()->urls()) {
    if (!url.isLocalFile()) continue;
    const QString path = url.toLocalFile();
    (path.endsWith(QStringLiteral(".tz"), Qt::CaseInsensitive) ? documents : pictures) << path;
  }
  event->acceptProposedAction();
  const CPoint at = ToPoint(event->position().toPoint());
  QMetaObject::invokeMethod(
      this,
      [this, documents, pictures, at] {
        for (const QString& path : pictures) {
          view_.ImportPictureFile(std::filesystem::path(path.toStdString()), at);
          AfterViewEvent();
        }
        if (!documents.isEmpty()) emit documentsDropped(documents);
      },
      Qt::QueuedConnection);
}

void CanvasWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  view_.OnLButtonDblClk(ToPoint(event->position().toPoint()));
  AfterViewEvent();
}

void CanvasWidget::contextMenuEvent(QContextMenuEvent* event) {
  view_.OnContextMenu(ToPoint(event->globalPos()), ToPoint(event->pos()));
  AfterViewEvent();
}

void CanvasWidget::keyPressEvent(QKeyEvent* event) {
  if (const std::optional<std::int32_t> key = ViewKey(event->key()); key && *key != kKeyDelete) {
    view_.OnKeyDown(*key, event->modifiers().testFlag(Qt::ShiftModifier));
    AfterViewEvent();
    return;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

// Delete acts on release, so that holding it down deletes only once.
void CanvasWidget::keyReleaseEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete && !event->isAutoRepeat()) {
    view_.OnKeyUp(kKeyDelete);
    AfterViewEvent();
    return;
  }
  QAbstractScrollArea::keyReleaseEvent(event);
}

void CanvasWidget::wheelEvent(QWheelEvent* event) {
  if (!event->modifiers().testFlag(Qt::ControlModifier)) {
    QAbstractScrollArea::wheelEvent(event);
    return;
  }
  const int delta = event->angleDelta().y();
  if (delta != 0) StepZoom(delta > 0 ? 1 : -1, event->position().toPoint());
  event->accept();
}

void CanvasWidget::StepZoom(int steps, QPoint anchor) {
  view_.StepZoom(steps, ToPoint(anchor));
  AfterViewEvent();
}

void CanvasWidget::UpdateCursor() {
  const std::optional<std::int32_t> resource = view_.CursorResource();
  if (resource) {
    viewport()->setCursor(CursorForResource(*resource));
  } else {
    viewport()->unsetCursor();
  }
}

void CanvasWidget::AfterViewEvent() {
  UpdateCursor();
  emit viewStateChanged();
}

}  // namespace lumetra::gui
