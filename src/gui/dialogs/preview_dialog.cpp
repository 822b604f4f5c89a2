#include "gui/dialogs/preview_dialog.h"

#include <QComboBox>
#include <QImage>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <algorithm>

#include "gui/dialogs/dialog_translation.h"

namespace lumetra::gui {
namespace {

constexpr int kPreviewDialog = 198;
constexpr int kEffectListId = 1121;
// The language keys of the effects, in list order (see PreviewEffect).
constexpr int kEffectKeys[] = {30001, 30002, 30000, 30003};

constexpr QPoint kDialogPosition(200, 200);
// Room beside and below the picture, the list's distance below it.
constexpr int kExtraWidth = 10;
constexpr int kExtraHeight = 100;
constexpr int kListGap = 20;

// The largest zoom up to `wanted` at which a picture of `frame` LEDs, with
// the window's extra room, fits into `screen`; 1 when none does.
int ZoomThatFits(int wanted, QSize frame, QSize screen) {
  int zoom = std::max(wanted, 1);
  while (zoom > 1 && (frame.width() * zoom + kExtraWidth > screen.width() ||
                      frame.height() * zoom + kExtraHeight > screen.height())) {
    --zoom;
  }
  return zoom;
}

QRect AvailableScreen(const QWidget* parent) {
  const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect(0, 0, 1 << 16, 1 << 16);
}

}  // namespace

CPreviewDlg::CPreviewDlg(const Bitmap32& strip, int frameWidth, int frameHeight, int frames, int zoom, QWidget* parent)
    : QDialog(parent),
      strip_(strip),
      zoom_(ZoomThatFits(zoom, QSize(frameWidth, frameHeight), AvailableScreen(parent).size())) {
  setModal(true);
  animation_.m_nFrameWidth = frameWidth;
  animation_.m_nFrameHeight = frameHeight;
  animation_.m_nFrameCount = frames;

  tickTimer_ = new QTimer(this);
  tickTimer_->setInterval(kPreviewTickMs);
  connect(tickTimer_, &QTimer::timeout, this, &CPreviewDlg::OnTick);
  pauseTimer_ = new QTimer(this);
  pauseTimer_->setInterval(kPreviewPauseMs);
  pauseTimer_->setSingleShot(true);
  connect(pauseTimer_, &QTimer::timeout, this, &CPreviewDlg::OnPauseOver);
  tickTimer_->start();

  const QRect picture = PictureRect();
  resize(picture.width() + kExtraWidth, picture.height() + kExtraHeight);
  // Its place, moved up and left as far as it takes to stay on the screen.
  const QRect screen = AvailableScreen(parent);
  move(std::max(screen.left(), std::min(kDialogPosition.x(), screen.right() + 1 - width())),
       std::max(screen.top(), std::min(kDialogPosition.y(), screen.bottom() + 1 - height())));
  CreateEffectList();
  effectList_->move(0, picture.height() + kListGap);
  TranslateDialog(this, kPreviewDialog);
}

void CPreviewDlg::CreateEffectList() {
  effectList_ = new QComboBox(this);
  SetControlId(effectList_, kEffectListId);
  for (const int key : kEffectKeys) effectList_->addItem(Text(key));
  effectList_->adjustSize();
  effectList_->setCurrentIndex(kPreviewMoveLeft);
  OnEffectChosen(effectList_->currentIndex());
  connect(effectList_, &QComboBox::currentIndexChanged, this, &CPreviewDlg::OnEffectChosen);
}

QRect CPreviewDlg::PictureRect() const {
  return QRect(0, 0, animation_.m_nFrameWidth * zoom_, animation_.m_nFrameHeight * zoom_);
}

void CPreviewDlg::done(int result) {
  tickTimer_->stop();
  pauseTimer_->stop();
  QDialog::done(result);
}

void CPreviewDlg::paintEvent(QPaintEvent*) {
  const Bitmap32 picture = animation_.Picture(strip_);
  const QImage image(reinterpret_cast<const uchar*>(picture.Pixels().data()), picture.Width(), picture.Height(),
                     qsizetype(picture.Width()) * 4, QImage::Format_RGB32);
  QPainter(this).drawImage(PictureRect(), image);
}

void CPreviewDlg::OnEffectChosen(int index) {
  animation_.ApplySelection(index);
  update(PictureRect());
}

void CPreviewDlg::OnTick() {
  const PreviewTick tick = animation_.Tick();
  if (tick == PreviewTick::Idle) return;
  if (tick == PreviewTick::PauseStarted) pauseTimer_->start();
  update(PictureRect());
}

void CPreviewDlg::OnPauseOver() {
  animation_.EndPause();
  update(PictureRect());
}

}  // namespace lumetra::gui
