#include "gui/app/play_as_panel_window.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

#include "document/document.h"
#include "gui/app/child_frame.h"
#include "gui/canvas/canvas_widget.h"
#include "gui/dialogs/dialog_translation.h"
#include "lang/message_text.h"
#include "panel/panel_window.h"
#include "render/led_dots.h"
#include "render/panel_content.h"
#include "render/playback.h"
#include "view/tessara_view.h"

namespace lumetra::gui {
namespace {

// The LEDs as large as fit in this share of the screen, within these sizes.
constexpr double kScreenShare = 0.8;
constexpr int kLargestLed = 12;

int LedSizeFor(const CTessaraDoc& doc, const QWidget& near) {
  const QScreen* screen = near.screen() ? near.screen() : QGuiApplication::primaryScreen();
  const QSize room = screen ? screen->availableSize() * kScreenShare : QSize(1024, 768);
  const CSize leds = doc.CanvasPixels();
  const int across = room.width() / std::max(1, doc.m_nWidthWords * 16);
  const int down = room.height() / 2 / std::max<int>(1, leds.cy / std::max(1, doc.m_nFrames));
  return std::clamp(std::min(across, down), LedDots::kMinSize, kLargestLed);
}

QString Seconds(std::int64_t ms) { return QString::number(double(ms) / 1000, 'f', 1); }

}  // namespace

PlayAsPanelWindow::PlayAsPanelWindow(CChildFrame& child)
    : QWidget(&child, Qt::Window), child_(child), clockStart_(GetLocalTime()) {
  setAttribute(Qt::WA_DeleteOnClose);
  leds_ = new panel::PanelWindow(LedSizeFor(child.Document(), child));
  scroller_ = new QScrollArea;
  scroller_->setWidget(leds_);
  scroller_->setAlignment(Qt::AlignCenter);
  scroller_->setStyleSheet(QStringLiteral("background: black"));

  playPause_ = new QPushButton;
  restart_ = new QPushButton(Text(text_key::kPlayAsPanelRestart));
  time_ = new QSlider(Qt::Horizontal);
  timeText_ = new QLabel;
  auto* controls = new QHBoxLayout;
  controls->addWidget(playPause_);
  controls->addWidget(restart_);
  controls->addWidget(time_, 1);
  controls->addWidget(timeText_);
  warning_ = new QLabel;
  warning_->setWordWrap(true);
  warning_->hide();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(warning_);
  layout->addWidget(scroller_, 1);
  layout->addLayout(controls);

  connect(playPause_, &QPushButton::clicked, this, [this] {
    leds_->SetPaused(!leds_->Paused());
    ShowTime(leds_->ElapsedMs());
  });
  connect(restart_, &QPushButton::clicked, this, &PlayAsPanelWindow::Restart);
  connect(time_, &QSlider::valueChanged, this, &PlayAsPanelWindow::SeekWithinRound);
  connect(leds_, &panel::PanelWindow::momentShown, this, &PlayAsPanelWindow::ShowTime);
  CanvasWidget& canvas = child.Canvas();
  connect(&canvas, &CanvasWidget::historyChanged, this, &PlayAsPanelWindow::FollowEdit);
  connect(&canvas, &CanvasWidget::canvasSizeChanged, this, &PlayAsPanelWindow::FollowEdit);
  connect(&child, &CChildFrame::titleChanged, this, &PlayAsPanelWindow::UpdateTitle);

  UpdateTitle();
  Restart();
  const QSize wanted = leds_->size() + QSize(24, 24);
  scroller_->setMinimumSize(wanted.boundedTo(QSize(1200, 700)));
}

PanelState PlayAsPanelWindow::StateNow() {
  const std::optional<std::int64_t> refused = ClockFrameBeyondPanels(child_.Document());
  warning_->setVisible(refused.has_value());
  if (refused) warning_->setText(FromUtf8(FormatText(text_key::kClockBeyondPanelFrames, {std::to_string(*refused)})));
  const std::optional<PanelState> state =
      PanelStateAfterSend(child_.Document(), {clockStart_, false, child_.View().m_ptOrigin});
  return state.value_or(PanelState{});
}

void PlayAsPanelWindow::Restart() {
  clockStart_ = GetLocalTime();
  const PanelState state = StateNow();
  roundMs_ = ShowCycleMs(state);
  leds_->ShowState(state);
  ShowTime(0);
}

void PlayAsPanelWindow::FollowEdit() {
  const PanelState state = StateNow();
  roundMs_ = ShowCycleMs(state);
  leds_->ReplaceState(state);
}

void PlayAsPanelWindow::SeekWithinRound(int msIntoRound) {
  // The rounds already played stay, so the clock keeps its time.
  const std::int64_t elapsed = leds_->ElapsedMs();
  const std::int64_t roundsDone = roundMs_ > 0 ? elapsed / roundMs_ : 0;
  leds_->Seek(roundsDone * roundMs_ + msIntoRound);
}

void PlayAsPanelWindow::ShowTime(std::int64_t elapsedMs) {
  const std::int64_t intoRound = roundMs_ > 0 ? elapsedMs % roundMs_ : 0;
  {
    const QSignalBlocker quiet(time_);
    time_->setRange(0, int(std::min<std::int64_t>(roundMs_, INT32_MAX)));
    time_->setValue(int(intoRound));
  }
  timeText_->setText(FromUtf8(
      FormatText(text_key::kPlayAsPanelTime, {Seconds(intoRound).toStdString(), Seconds(roundMs_).toStdString()})));
  playPause_->setText(Text(leds_->Paused() ? text_key::kPlayAsPanelPlay : text_key::kPlayAsPanelPause));
}

void PlayAsPanelWindow::UpdateTitle() {
  setWindowTitle(FromUtf8(FormatText(text_key::kPlayAsPanelTitle, {child_.Document().GetTitle()})));
}

}  // namespace lumetra::gui
