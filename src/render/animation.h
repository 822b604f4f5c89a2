#pragma once
// The panel's show as an animation for looking at outside the program:
// moments 1000 / fps ms apart from the start of the show, as an animated GIF
// or as numbered PNG files, one pixel per LED or round LEDs on black.
//
// Moment i shows the LEDs at i · 1000 / fps ms (whole ms, rounded down). A
// GIF counts time in hundredths of a second, so moment i is held for
// round((i + 1) · 100 / fps) − round(i · 100 / fps) of them, and the last
// one until the duration ends: the delays add up to the moments' real times,
// whatever the rate, and a round of the show loops without drifting.

#include <cstdint>
#include <filesystem>
#include <functional>

#include "render/panel_state.h"

namespace lumetra {

// A GIF holds each picture for whole hundredths of a second: at 50 a second, two each.
inline constexpr int kMaxAnimationFps = 50;
inline constexpr int kDefaultAnimationFps = 25;
inline constexpr std::int64_t kMaxAnimationMs = 3'600'000;
// Without a duration of its own, an animation covers one round of the show, at most this long.
inline constexpr std::int64_t kDefaultAnimationLimitMs = 60'000;
inline constexpr int kMaxAnimationLedSize = 32;
// Each picture of an animation stays within this many pixels (128 MB); an
// export holds four at a time.
inline constexpr std::int64_t kMaxAnimationPixels = std::int64_t(1) << 25;

struct AnimationOptions {
  std::int64_t durationMs = 0;     // 1..kMaxAnimationMs; at least one moment is shown
  int fps = kDefaultAnimationFps;  // 1..kMaxAnimationFps
  int ledSize =
      0;  // 0: a pixel per LED; else round LEDs this many pixels across (LedDots::kMinSize..kMaxAnimationLedSize)
};

// Throws std::invalid_argument, saying what is out of range and what is
// allowed, for options out of range or pictures of more than
// kMaxAnimationPixels for the show of `state`.
void CheckAnimationOptions(const PanelState& state, const AnimationOptions& options);

int AnimationMoments(const AnimationOptions& options);
std::int64_t MomentMs(int moment, int fps);
// Hundredths of a second, at least 1.
int MomentDelay(int moment, const AnimationOptions& options);

// One round of the show, at least one moment and at most kDefaultAnimationLimitMs.
std::int64_t DefaultAnimationMs(const PanelState& state, int fps);

// Told after each moment; returning false stops the export.
using AnimationProgress = std::function<bool(int done, int total)>;

// Both check the options first (see CheckAnimationOptions) and throw
// FileError naming the file and the reason when one cannot be written. They
// return false when `progress` stopped them: the GIF then leaves any previous
// file as it was; the PNGs already written stay.
bool ExportGif(const PanelState& state, const AnimationOptions& options, const std::filesystem::path& path,
               const AnimationProgress& progress = {});
// frame-00000.png, frame-00001.png, … in `folder`, which is made when missing.
bool ExportPngFrames(const PanelState& state, const AnimationOptions& options, const std::filesystem::path& folder,
                     const AnimationProgress& progress = {});

}  // namespace lumetra
