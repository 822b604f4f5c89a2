#pragma once
// The virtual panel's show as a function of time since playback started: no
// state of its own, so a window can ask for any moment and a test for an
// exact one.
//
// Frames. The parameters give the frame size W × H; the picture holds the
// frames side by side, F = picture width ÷ W of them. Each side falls back to
// the picture's own when the parameters give 0 or more than the picture has;
// columns past the last whole frame and rows below H are ignored. Without a
// picture the panel is black, W × H (each side 16 where 0, at most the largest
// panel). A picture whose LEDs do not fill width × height counts as none; an
// LED value shows by its low two bits. Missing parameters count as 25 zero
// bytes: the whole picture as one still frame.
//
// Rows. Play-mode rows 1..min(row count, 3) (at least 1) run in order and the
// show loops. A row plays its frames start..end in order, both clamped into
// 1..F and turned round when given backwards.
//
// Each frame enters in W steps of speed code × 5 ms (code 0 as 1) and is then
// held for delay seconds:
//   page turning (and any unknown mode): no entrance, the hold at least a step;
//   move left: the frame pushes in from the right edge, one column a step;
//   move right: it pushes in from the left edge;
//   stretch: after k steps it is squeezed into the left k columns (column x
//     shows its column x·W/k), the rest still showing what was there.
// Step k of an entrance starts k steps in, so step 0 still shows only what
// went before: the previous frame, or black before the very first one.
//
// Clock. With clock style 1..4 and a clock received, the text of
// CTimer::ClockText for the clock time advanced by the elapsed whole seconds
// is drawn on frame `clock.frame` (0-based) before the entrance composes it,
// so it moves with its frame: at y = word row × 16, aligned across W, in the
// colour of its colour code, transparent, in the device context's default font.

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/gdi/bitmap.h"
#include "platform/local_time.h"
#include "render/panel_state.h"

namespace lumetra {

enum PlayMode : int { kPageTurning = 0, kMoveLeft = 1, kMoveRight = 2, kStretch = 3 };
enum ClockAlign : int { kClockLeft = 0, kClockCentre = 1, kClockRight = 2 };

// One play-mode row as received.
struct PlayRow {
  int mode = kPageTurning;
  int start = 1;      // first frame, 1-based (the byte holds start − 1)
  int end = 0;        // last frame, 1-based
  int speedCode = 0;  // 2 fastest .. 30 slowest
  int delay = 0;      // seconds
};

struct ClockParameters {
  int style = 0;       // 0 none, 1..4 the formats of CTimer::ClockText
  int colourCode = 0;  // 3 black, 2, 1, 0 the colours 1, 2, 3
  int row = 0;         // word row within the frame, 0-based
  int frame = 0;       // 0-based
  int align = kClockLeft;
};

// The 25-byte parameter block decoded field by field, values as received.
struct PanelParameters {
  int height = 0;  // pixels
  int width = 0;
  int rowCount = 0;
  ClockParameters clock;
  std::array<PlayRow, kSentPlayModeRows> rows;
};

PanelParameters DecodeParameters(const ParameterBlock& bytes);

// The colour index of a clock colour code, the inverse of ClockColourCode;
// codes above 3 count by their low two bits.
int ClockColourIndex(int colourCode);

// "page turning", "move left", "move right", "stretch"; "unknown" otherwise.
std::string_view PlayModeName(int mode);

struct FrameLayout {
  int width = 0;
  int height = 0;
  int frames = 0;  // 0 without a picture
};
FrameLayout PanelFrameLayout(const PanelState& state);

// Width and height positive and one LED for each pixel.
bool IsWellFormed(const PanelPicture& picture);

// The colour each LED value shows in, by the picture's colour flags.
const std::array<COLORREF, 4>& PanelColours(std::uint8_t colourFlags);

// The whole picture, all frames side by side, in the panel colours; an empty
// bitmap for a picture that is not well formed.
Bitmap32 RenderPanelPicture(const PanelPicture& picture);

// The clock `seconds` later, by the calendar (the day of the week included);
// unchanged when the result cannot be represented.
LocalTime AdvanceClock(const LocalTime& time, std::int64_t seconds);

// How long the show takes before it starts again: 0 without a picture.
std::int64_t ShowCycleMs(const PanelState& state);

// What the LEDs show `elapsedMs` after playback started, W × H; times before
// the start show the start.
Bitmap32 RenderPanelFrame(const PanelState& state, std::int64_t elapsedMs);

}  // namespace lumetra
