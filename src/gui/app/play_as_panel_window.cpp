#include "gui/app/play_as_panel_window.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
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
// The view of the LEDs asks for no more room than this; a larger panel scrolls.
constexpr QSize kLargestView(1200, 700);
constexpr int kSliderStepMs = 100;
constexpr int kSliderPageMs = 1000;

int LedSizeFor(const FrameLayout& panel, const QWidget& near) {
  const QScreen* screen = near.screen() ? near.screen() : QGuiApplication::primaryScreen();
  const QSize room = screen ? screen->availableSize() * kScreenShare : QSize(1024, 768);
  const int across = room.width() / std::max(1, panel.width);
  const int down = room.height() / 2 / std::max(1, panel.height);
  return std::clamp(std::min(across, down), LedDots::kMinSize, kLargestLed);
}

QString Seconds(std::int64_t ms) { return QString::number(double(ms) / 1000, 'f', 1); }

}  // namespace

PlayAsPanelWindow::PlayAsPanelWindow(CChildFrame& child)
    : QWidget(&child, Qt::Window), child_(child), clockStart_(GetLocalTime()) {
  setAttribute(Qt::WA_DeleteOnClose);
  leds_ = new panel::PanelWindow;
  scroller_ = new QScrollArea;
  scroller_->setWidget(leds_);
  scroller_->setAlignment(Qt::AlignCenter);
  QPalette black = scroller_->viewport()->palette();
  black.setColor(QPalette::Window, Qt::black);
  scroller_->viewport()->setPalette(black);
  scroller_->viewport()->setAutoFillBackground(true);

  playPause_ = new QPushButton;
  restart_ = new QPushButton;
  time_ = new QSlider(Qt::Horizontal);
  time_->setSingleStep(kSliderStepMs);
  time_->setPageStep(kSliderPageMs);
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
  // Every edit of the document, undo and redo included, is a step of its history.
  connect(&canvas, &CanvasWidget::historyChanged, this, &PlayAsPanelWindow::FollowEdit);
  connect(&child, &CChildFrame::titleChanged, this, &PlayAsPanelWindow::UpdateTitle);

  Retranslate();
  Restart();
}

void PlayAsPanelWindow::Retranslate() {
  restart_->setText(Text(text_key::kPlayAsPanelRestart));
  UpdateTitle();
  ShowTime(leds_->ElapsedMs());
}

void PlayAsPanelWindow::FitLedsTo(const PanelState& state) {
  const FrameLayout panel = PanelFrameLayout(state);
  const int size = LedSizeFor(panel, *this);
  if (size == leds_->LedSize() && scroller_->minimumWidth() > 0) return;
  leds_->SetLedSize(size);
  const QSize wanted = QSize(panel.width, panel.height) * leds_->LedSize() + QSize(24, 24);
  scroller_->setMinimumSize(wanted.boundedTo(kLargestView));
}

PanelState PlayAsPanelWindow::StateNow() {
  const std::optional<std::int64_t> refused = ClockFrameBeyondPanels(child_.Document());
  warning_->setVisible(refused.has_value());
  if (refused) warning_->setText(FromUtf8(FormatText(text_key::kClockBeyondPanelFrames, {std::to_string(*refused)})));
  std::optional<PanelState> state =
      PanelStateAfterSend(child_.Document(), {clockStart_, false, child_.View().m_ptOrigin});
  if (!state) {
    warning_->setText(Text(text_key::kAnimationNoPicture));
    warning_->show();
    state.emplace();
  }
  FitLedsTo(*state);
  return *state;
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
  // The handle stays where the user holds it.
  if (!time_->isSliderDown()) {
    const QSignalBlocker quiet(time_);
    time_->setRange(0, int(std::min<std::int64_t>(roundMs_, INT32_MAX)));
    time_->setValue(int(intoRound));
  }
  timeText_->setText(FromUtf8(
      FormatText(text_key::kPlayAsPanelTime, {Seconds(intoRound).toStdString(), Seconds(roundMs_).toStdString()})));
  playPause_->setText(Text(leds_->Paused() ? text_key::kPlayAsPanelPlay : text_key::kPlayAsPanelPause));
}

void PlayAsPanelWindow::UpdateTitle() {
  setWindowTitle(FromUtf8(FormatText(text_key::kPlayAsPanelTitle, {child_.Title().toStdString()})));
}

}  // namespace lumetra::gui
