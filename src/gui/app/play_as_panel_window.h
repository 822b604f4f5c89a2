#pragma once
// "Play as Panel": a window that plays a document exactly as a panel plays it
// after a send, through the panels' own playback engine, as round LEDs on
// black in real time. Play/pause, restart and a time slider over one round
// of the show; every edit of the document shows at once, at the moment the
// show stands at. The clock runs from the computer's time when the show
// started, as a panel's clock runs from the send.

#include <QWidget>
#include <cstdint>

#include "platform/local_time.h"
#include "render/panel_state.h"

class QLabel;
class QPushButton;
class QScrollArea;
class QSlider;

namespace lumetra::panel {
class PanelWindow;
}

namespace lumetra::gui {

class CChildFrame;

class PlayAsPanelWindow : public QWidget {
  Q_OBJECT

 public:
  // A window of its own, owned by `child` and closed with it; playing from the start.
  explicit PlayAsPanelWindow(CChildFrame& child);

  // The LEDs, for a test to put its own clock in place.
  panel::PanelWindow& Leds() { return *leds_; }
  // Plays the document as it now stands, on from the moment shown.
  void FollowEdit();
  // Plays from the start, the clock from the computer's time now.
  void Restart();
  // The texts of the current language.
  void Retranslate();

 private:
  // The document as a send now leaves the panel; warns of a clock a send
  // refuses and of a picture that cannot be made.
  PanelState StateNow();
  // The LEDs as large as fit the screen for the panel of `state`.
  void FitLedsTo(const PanelState& state);
  void ShowTime(std::int64_t elapsedMs);
  void SeekWithinRound(int msIntoRound);
  void UpdateTitle();

  CChildFrame& child_;
  LocalTime clockStart_;
  std::int64_t roundMs_ = 0;
  panel::PanelWindow* leds_ = nullptr;
  QScrollArea* scroller_ = nullptr;
  QLabel* warning_ = nullptr;
  QPushButton* playPause_ = nullptr;
  QPushButton* restart_ = nullptr;
  QSlider* time_ = nullptr;
  QLabel* timeText_ = nullptr;
};

}  // namespace lumetra::gui
