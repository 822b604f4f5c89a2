#pragma once
// ClockHost: the document a clock unit is drawn in, as the clock sees it.
// The clock draws by the document's clock options and places itself across
// its panel, then reports the frame and word row it stands in. The document
// implements it; whoever draws a document makes it the clock host for the
// time of drawing (ClockHostScope), so a window that repaints in the
// background never draws with, or writes into, another window's document.

#include <cstdint>

namespace lumetra {

// The clock options and the panel geometry a clock is drawn by.
struct ClockSettings {
  std::int32_t style = 0;
  std::int32_t colour = 0;
  std::int32_t align = 0;
  std::int32_t widthWords = 0;
  std::int32_t heightWords = 0;
  std::int32_t frames = 0;
};

class ClockHost {
 public:
  virtual ClockSettings ClockSettingsForDrawing() const = 0;
  // The 1-based frame and word row that hold the clock's vertical centre.
  virtual void SetClockPosition(std::uint8_t frame, std::uint8_t row) = 0;

 protected:
  ClockHost() = default;
  ~ClockHost() = default;
  ClockHost(const ClockHost&) = default;
  ClockHost& operator=(const ClockHost&) = default;
};

// The host of the drawing under way, or nullptr when there is none.
ClockHost* CurrentClockHost();

// Makes `host` (not owned; nullptr for none) the clock host while it lives,
// then restores the previous one.
class ClockHostScope {
 public:
  explicit ClockHostScope(ClockHost* host);
  ~ClockHostScope();
  ClockHostScope(const ClockHostScope&) = delete;
  ClockHostScope& operator=(const ClockHostScope&) = delete;

 private:
  ClockHost* previous_;
};

}  // namespace lumetra
