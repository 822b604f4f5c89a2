#include "cli/play_command.h"

#include <atomic>
#include <cmath>
#include <stdexcept>

#include "cli/cancel_on_signal.h"
#include "document/document.h"
#include "platform/files.h"
#include "platform/local_time.h"
#include "render/animation.h"
#include "render/panel_content.h"

namespace lumetra {
namespace {

LocalTime ClockTime(const std::string& text) {
  if (text.empty()) return GetLocalTime();
  if (std::optional<LocalTime> time = ParseLocalTime(text)) return *time;
  throw std::invalid_argument("--clock: \"" + text + "\" is not a time \"YYYY-MM-DD HH:MM:SS\"");
}

std::int64_t DurationMs(const PlayRequest& request, const PanelState& state) {
  if (!request.seconds) return DefaultAnimationMs(state, request.fps);
  const double ms = *request.seconds * 1000;
  if (!(ms >= 1 && ms <= double(kMaxAnimationMs))) {
    throw std::invalid_argument("--seconds must be more than 0 and at most " + std::to_string(kMaxAnimationMs / 1000));
  }
  return std::llround(ms);
}

}  // namespace

int PlayDocument(CTessaraDoc& doc, const PlayRequest& request, std::ostream& out) {
  const LocalTime clock = ClockTime(request.clock);
  // As the view places the clock when it shows the document, before a send.
  doc.PlaceClock(clock);
  const std::optional<PanelState> state = PanelStateAfterSend(doc, {clock, request.reverseColour, doc.m_ptViewOrigin});
  if (!state) throw FileError((request.gif.empty() ? request.frames : request.gif) + ": the picture cannot be made");
  const AnimationOptions options{DurationMs(request, *state), request.fps, request.ledSize};
  CheckAnimationOptions(*state, options);

  std::atomic<bool> stop{false};
  const CancelOnSignal signals([&stop] { stop = true; });
  const AnimationProgress progress = [&stop](int, int) { return !stop; };
  const int moments = AnimationMoments(options);
  const std::string span = std::to_string(moments) + " moments, " + std::to_string(options.durationMs) + " ms at " +
                           std::to_string(options.fps) + " a second";
  if (!request.gif.empty()) {
    if (!ExportGif(*state, options, request.gif, progress)) {
      out << request.gif << ": stopped; the file was left as it was\n";
      return kPlayCancelledExit;
    }
    out << request.gif << ": " << span << '\n';
  }
  if (!request.frames.empty()) {
    if (!ExportPngFrames(*state, options, request.frames, progress)) {
      out << request.frames << ": stopped; the frames written so far are there\n";
      return kPlayCancelledExit;
    }
    out << request.frames << ": " << span << " as frame-*.png\n";
  }
  return 0;
}

}  // namespace lumetra
