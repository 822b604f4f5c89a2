#include "render/animation.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "platform/files.h"
#include "platform/gif_animation.h"
#include "platform/png_encoder.h"
#include "render/led_dots.h"
#include "render/playback.h"

namespace lumetra {
namespace {

constexpr std::size_t kMinFrameDigits = 5;

std::string Number(std::int64_t value) { return std::to_string(value); }

void CheckRange(const char* what, std::int64_t value, std::int64_t low, std::int64_t high) {
  if (value < low || value > high) {
    throw std::invalid_argument(std::string(what) + " must be " + Number(low) + " to " + Number(high) + ", not " +
                                Number(value));
  }
}

// Hundredths of a second from the start to moment i, to the nearest.
std::int64_t HundredthsAt(std::int64_t moment, int fps) { return (moment * 200 + fps) / (2 * std::int64_t(fps)); }

// The moments of the show one after another, each as the export shows it.
class MomentPainter {
 public:
  MomentPainter(const PanelState& state, const AnimationOptions& options) : state_(state), options_(options) {
    if (options.ledSize > 0) dots_.emplace(options.ledSize);
  }
  Bitmap32 Paint(int moment) {
    Bitmap32 leds = RenderPanelFrame(state_, MomentMs(moment, options_.fps));
    return dots_ ? dots_->Paint(leds) : leds;
  }

 private:
  const PanelState& state_;
  const AnimationOptions& options_;
  std::optional<LedDots> dots_;
};

bool Told(const AnimationProgress& progress, int done, int total) { return !progress || progress(done, total); }

std::string FrameName(int moment, int moments) {
  const std::size_t digits = std::max(kMinFrameDigits, Number(moments - 1).size());
  const std::string number = Number(moment);
  return "frame-" + std::string(digits - number.size(), '0') + number + ".png";
}

}  // namespace

void CheckAnimationOptions(const PanelState& state, const AnimationOptions& options) {
  CheckRange("The duration (ms)", options.durationMs, 1, kMaxAnimationMs);
  CheckRange("The frame rate", options.fps, 1, kMaxAnimationFps);
  if (options.ledSize != 0) CheckRange("The LED size", options.ledSize, LedDots::kMinSize, kMaxAnimationLedSize);
  const FrameLayout layout = PanelFrameLayout(state);
  const std::int64_t scale = std::max(options.ledSize, 1);
  const std::int64_t width = layout.width * scale, height = layout.height * scale;
  if (width * height > kMaxAnimationPixels || width > kMaxGifSide || height > kMaxGifSide) {
    throw std::invalid_argument("The animation would be " + Number(width) + " x " + Number(height) +
                                " pixels, more than " + Number(kMaxAnimationPixels) + ": choose smaller LEDs");
  }
}

int AnimationMoments(const AnimationOptions& options) {
  const std::int64_t moments = (options.durationMs * options.fps + 999) / 1000;
  return int(std::max<std::int64_t>(moments, 1));
}

std::int64_t MomentMs(int moment, int fps) { return std::int64_t(moment) * 1000 / fps; }

int MomentDelay(int moment, const AnimationOptions& options) {
  const std::int64_t start = HundredthsAt(moment, options.fps);
  const std::int64_t end = moment + 1 < AnimationMoments(options) ? HundredthsAt(moment + 1, options.fps)
                                                                   : (options.durationMs + 5) / 10;
  return int(std::max<std::int64_t>(end - start, 1));
}

std::int64_t DefaultAnimationMs(const PanelState& state, int fps) {
  const std::int64_t oneMoment = (1000 + fps - 1) / fps;
  return std::clamp(ShowCycleMs(state), oneMoment, kDefaultAnimationLimitMs);
}

bool ExportGif(const PanelState& state, const AnimationOptions& options, const std::filesystem::path& path,
               const AnimationProgress& progress) {
  CheckAnimationOptions(state, options);
  const int moments = AnimationMoments(options);
  MomentPainter painter(state, options);
  std::optional<GifAnimation> gif;
  for (int i = 0; i < moments; ++i) {
    Bitmap32 picture = painter.Paint(i);
    if (!gif) gif.emplace(path, picture.Width(), picture.Height());
    gif->AddFrame(std::move(picture), MomentDelay(i, options));
    if (!Told(progress, i + 1, moments)) return false;
  }
  gif->Finish();
  return true;
}

bool ExportPngFrames(const PanelState& state, const AnimationOptions& options, const std::filesystem::path& folder,
                     const AnimationProgress& progress) {
  CheckAnimationOptions(state, options);
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw FileError(folder.string() + ": cannot make the folder: " + error.message());
  const int moments = AnimationMoments(options);
  MomentPainter painter(state, options);
  for (int i = 0; i < moments; ++i) {
    WriteFileAtomically(folder / FrameName(i, moments), EncodePng(painter.Paint(i)));
    if (!Told(progress, i + 1, moments)) return false;
  }
  return true;
}

}  // namespace lumetra
