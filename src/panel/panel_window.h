#pragma once
// The virtual panel on the screen: its show as round LED dots on black, one
// dot for each LED, played live from what the panel received.

#include <QElapsedTimer>
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "render/led_dots.h"
#include "render/panel_state.h"

class QTimer;

namespace lumetra::panel {

class PanelWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kDefaultLedSize = 6;
  static constexpr int kMinLedSize = LedDots::kMinSize;
  static constexpr int kFrameMs = 40;  // 25 frames a second

  // ledSize: screen pixels per LED each way, at least kMinLedSize. The
  // window starts with an empty panel.
  explicit PanelWindow(int ledSize = kDefaultLedSize, QWidget* parent = nullptr);

  int LedSize() const { return dots_.Size(); }
  // Screen pixels per LED from now on, at least kMinLedSize; the window takes the new size.
  void SetLedSize(int ledSize);
  // Plays `state` from its start; the window takes the panel's size.
  void ShowState(const PanelState& state);
  // Plays `state` on from the moment the show stands at (what is played was
  // edited); the window takes the panel's size.
  void ReplaceState(const PanelState& state);
  // Stops the show's time, or lets it run on from where it stopped.
  void SetPaused(bool paused);
  bool Paused() const { return pausedAtMs_.has_value(); }
  // Shows the moment `elapsedMs` into the show, from which a running show goes on.
  void Seek(std::int64_t elapsedMs);
  // How far into the show the window stands.
  std::int64_t ElapsedMs() const;
  // The panel addresses the window stands for, named in its title.
  void SetAddresses(const std::vector<std::uint8_t>& addresses);
  // Where the show's time comes from: milliseconds on any steady scale. A
  // monotonic clock unless a test puts its own in place.
  void SetClock(std::function<std::int64_t()> nowMs) { nowMs_ = std::move(nowMs); }

 signals:
  // After each step of the show's time, and after a seek or a new state.
  void momentShown(std::int64_t elapsedMs);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // Shows the moment `elapsedMs` into the show, repainting only on a change.
  void ShowMoment(std::int64_t elapsedMs);
  void DrawDots();

  LedDots dots_;
  PanelState state_;
  QElapsedTimer monotonic_;
  std::function<std::int64_t()> nowMs_;
  std::int64_t showStartMs_ = 0;
  std::optional<std::int64_t> pausedAtMs_;
  QTimer* frameTimer_ = nullptr;
  Bitmap32 frame_;  // what the LEDs show, one pixel each
  QImage image_;    // frame_ as dots
};

}  // namespace lumetra::panel
