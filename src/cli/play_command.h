#pragma once
// `lumetra-cli play`: the show a panel gives after a send of the document,
// played by the panel's own engine, as an animated GIF and/or PNG frames.

#include <optional>
#include <ostream>
#include <string>

namespace lumetra {

class CTessaraDoc;

struct PlayRequest {
  std::string gif;                // the animation as GIF; empty for none
  std::string frames;             // a folder for the moments as PNGs; empty for none
  std::optional<double> seconds;  // how much of the show; one round of it (at most a minute) when not given
  int fps = 25;
  int ledSize = 0;    // 0: a pixel per LED; else round LEDs this many pixels across
  std::string clock;  // "YYYY-MM-DD HH:MM:SS" the send sets the panel's clock to; empty: now
  bool reverseColour = false;
};

// Exit code when SIGINT or SIGTERM stopped the export.
inline constexpr int kPlayCancelledExit = 130;

// Writes what was asked and says so on `out`; returns 0, or
// kPlayCancelledExit. Throws std::invalid_argument for a request out of
// range and FileError naming the file that could not be written.
int PlayDocument(CTessaraDoc& doc, const PlayRequest& request, std::ostream& out);

}  // namespace lumetra
