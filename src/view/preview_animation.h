#pragma once
// The Preview's animation: the document's frames played the way a panel
// shows them, as a state machine advanced one timer tick at a time. It keeps
// no clock of its own: whoever drives it ticks it every kPreviewTickMs and,
// when a tick starts a pause, ends the pause kPreviewPauseMs later.

#include <cstdint>

#include "platform/gdi/bitmap.h"

namespace lumetra {

// The effects in the order of the Preview's effect list.
enum PreviewEffect : std::int32_t {
  kPreviewMoveLeft = 0,
  kPreviewMoveRight = 1,
  kPreviewPageTurning = 2,
  kPreviewWipe = 3,
};

inline constexpr int kPreviewTickMs = 50;     // timer 2005
inline constexpr int kPreviewPauseMs = 2000;  // timer 2006

enum class PreviewTick {
  Idle,          // paused: nothing changed
  Advanced,      // the picture moved on
  PauseStarted,  // it moved on and now holds for kPreviewPauseMs
};

class PreviewAnimation {
 public:
  // Makes `effect` the current one and starts it from its beginning.
  void ApplySelection(std::int32_t effect);
  // One tick of the animation timer; a paused animation stays as it is.
  PreviewTick Tick();
  // The pause is over: the animation runs again.
  void EndPause();

  // What the window shows now, W × H: the strip (all frames side by side,
  // frame 1 at the left) with its left edge at x = m_nOffset, black where the
  // strip does not reach and, in the wipe, right of m_nCover.
  Bitmap32 Picture(const Bitmap32& strip) const;

  std::int32_t m_nFrameWidth = 300;   // W
  std::int32_t m_nFrameHeight = 100;  // H
  std::int32_t m_nFrameCount = 1;
  std::int32_t m_nEffect = kPreviewMoveLeft;
  std::int32_t m_nOffset = 0;      // x of the strip's left edge in the window
  bool m_bRunning = false;         // false during a pause
  std::int32_t m_nCover = 0;       // wipe: width of the revealed part of the frame
  std::int32_t m_nCoverPhase = 0;  // wipe: 0 revealing, 1 covering

 private:
  void Pause() { m_bRunning = false; }
  void MoveLeft();
  void MoveRight();
  void TurnPage();
  void Wipe();
  bool AtFrameEdge() const { return m_nOffset % m_nFrameWidth == 0; }

  // Moving right holds frame 1 fully in view before the strip jumps back; the
  // jump waits for the end of that pause so the frame stays on screen.
  bool m_bRestartAfterPause = false;
};

}  // namespace lumetra
