#include "gui/dialogs/preview_dialog.h"

#include <QComboBox>
#include <QImage>
#include <QPainter>
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

}  // namespace

CPreviewDlg::CPreviewDlg(const Bitmap32& strip, int frameWidth, int frameHeight, int frames, int zoom, QWidget* parent)
    : QDialog(parent), strip_(strip), zoom_(std::max(zoom, 1)) {
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
  move(kDialogPosition);
  resize(picture.width() + kExtraWidth, picture.height() + kExtraHeight);
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
