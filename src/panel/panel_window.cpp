#include "panel/panel_window.h"

#include <QPainter>
#include <QStringList>
#include <QTimer>
#include <algorithm>

#include "render/playback.h"

namespace lumetra::panel {
namespace {

const QString kTitle = QStringLiteral("Lumetra panel");
constexpr std::uint8_t kOpaque = 0xFF;

}  // namespace

PanelWindow::PanelWindow(int ledSize, QWidget* parent) : QWidget(parent), dots_(ledSize, kOpaque) {
  setWindowTitle(kTitle);
  frameTimer_ = new QTimer(this);
  frameTimer_->setInterval(kFrameMs);
  connect(frameTimer_, &QTimer::timeout, this, [this] { ShowMoment(ElapsedMs()); });
  monotonic_.start();
  nowMs_ = [this] { return monotonic_.elapsed(); };
  ShowState(PanelState{});
}

void PanelWindow::ShowState(const PanelState& state) {
  state_ = state;
  pausedAtMs_.reset();
  showStartMs_ = nowMs_();
  ShowMoment(0);
  frameTimer_->start();
}

void PanelWindow::SetLedSize(int ledSize) {
  if (std::max(ledSize, kMinLedSize) == LedSize()) return;
  dots_ = LedDots(ledSize, kOpaque);
  frame_ = Bitmap32();  // drawn anew at the new size
  ShowMoment(ElapsedMs());
}

void PanelWindow::ReplaceState(const PanelState& state) {
  state_ = state;
  ShowMoment(ElapsedMs());
}

void PanelWindow::SetPaused(bool paused) {
  if (paused == Paused()) return;
  if (paused) {
    pausedAtMs_ = ElapsedMs();
    frameTimer_->stop();
  } else {
    showStartMs_ = nowMs_() - *pausedAtMs_;
    pausedAtMs_.reset();
    frameTimer_->start();
  }
}

void PanelWindow::Seek(std::int64_t elapsedMs) {
  if (pausedAtMs_) {
    pausedAtMs_ = elapsedMs;
  } else {
    showStartMs_ = nowMs_() - elapsedMs;
  }
  ShowMoment(elapsedMs);
}

std::int64_t PanelWindow::ElapsedMs() const { return pausedAtMs_ ? *pausedAtMs_ : nowMs_() - showStartMs_; }

void PanelWindow::SetAddresses(const std::vector<std::uint8_t>& addresses) {
  QStringList numbers;
  for (const std::uint8_t address : addresses) numbers << QString::number(address);
  setWindowTitle(numbers.isEmpty() ? kTitle : kTitle + ' ' + numbers.join(QStringLiteral(", ")));
}

void PanelWindow::ShowMoment(std::int64_t elapsedMs) {
  Bitmap32 frame = RenderPanelFrame(state_, elapsedMs);
  const bool sameSize = frame.Width() == frame_.Width() && frame.Height() == frame_.Height();
  if (!sameSize || frame.Pixels() != frame_.Pixels()) {
    frame_ = std::move(frame);
    if (!sameSize) {
      image_ = QImage(frame_.Width() * LedSize(), frame_.Height() * LedSize(), QImage::Format_RGB32);
      setFixedSize(image_.size());
    }
    DrawDots();
    update();
  }
  emit momentShown(elapsedMs);
}

void PanelWindow::DrawDots() {
  dots_.PaintInto(frame_, reinterpret_cast<std::uint32_t*>(image_.bits()),
                  std::size_t(image_.bytesPerLine()) / sizeof(std::uint32_t));
}

void PanelWindow::paintEvent(QPaintEvent*) { QPainter(this).drawImage(0, 0, image_); }

}  // namespace lumetra::panel
