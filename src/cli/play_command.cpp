#include "cli/play_command.h"

#include <unistd.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <iostream>
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
  const double ms = std::round(*request.seconds * 1000);
  if (!(ms >= 1 && ms <= double(kMaxAnimationMs))) {
    throw std::invalid_argument("--seconds must be 0.001 to " + std::to_string(kMaxAnimationMs / 1000));
  }
  return std::llround(ms);
}

// A file to write must not be a folder: found out now, not after the export.
void CheckWritableFile(const std::string& path) {
  if (std::filesystem::is_directory(path)) throw FileError(path + ": is a folder, not a file");
}

// On a terminal, how far the export has come, on one line of standard error.
AnimationProgress Progress(const std::atomic<bool>& stop, const std::string& what) {
  const bool shown = ::isatty(STDERR_FILENO) == 1;
  return [&stop, what, shown, last = -1](int done, int total) mutable {
    const int percent = int(std::int64_t(done) * 100 / total);
    if (shown && percent != last) {
      std::cerr << '\r' << what << ": " << percent << "%" << (done == total ? "\n" : "") << std::flush;
      last = percent;
    }
    return !stop;
  };
}

std::string Summary(const AnimationOptions& options) {
  const int moments = AnimationMoments(options);
  return std::to_string(moments) + (moments == 1 ? " moment, " : " moments, ") +
         std::to_string(options.durationMs) + " ms at " + std::to_string(options.fps) + " a second";
}

}  // namespace

int PlayDocument(CTessaraDoc& doc, const PlayRequest& request, std::ostream& out) {
  const LocalTime clock = ClockTime(request.clock);
  // As the view places the clock when it shows the document, before a send.
  doc.PlaceClock(clock);
  if (const std::optional<std::int64_t> frame = ClockFrameBeyondPanels(doc)) {
    throw std::invalid_argument("the clock stands in frame " + std::to_string(*frame) +
                                ", but a panel can show its clock only in frames 1 to " +
                                std::to_string(kMaxClockFrame) + ": a send refuses the document");
  }
  if (!request.gif.empty()) CheckWritableFile(request.gif);
  const std::optional<PanelState> state = PanelStateAfterSend(doc, {clock, request.reverseColour, doc.m_ptViewOrigin});
  if (!state) throw FileError((request.gif.empty() ? request.frames : request.gif) + ": the picture cannot be made");
  const AnimationOptions options{DurationMs(request, *state), request.fps, request.ledSize};
  CheckAnimationOptions(*state, options);

  std::atomic<bool> stop{false};
  const CancelOnSignal signals([&stop] { stop = true; });
  const std::string span = Summary(options);
  if (!request.gif.empty()) {
    if (!ExportGif(*state, options, request.gif, Progress(stop, request.gif))) {
      out << request.gif << ": stopped; the file was left as it was\n";
      return kPlayCancelledExit;
    }
    out << request.gif << ": " << span << '\n';
  }
  if (!request.frames.empty()) {
    if (!ExportPngFrames(*state, options, request.frames, Progress(stop, request.frames))) {
      out << request.frames << ": stopped; the frames written so far are there\n";
      return kPlayCancelledExit;
    }
    out << request.frames << ": " << span << " as frame-*.png\n";
  }
  return 0;
}

}  // namespace lumetra
