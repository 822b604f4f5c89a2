#pragma once
// What a virtual panel holds after the transfers it answered: the last
// parameter block, the last picture as colour indices and the last clock.

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/local_time.h"

namespace lumetra::panel {

// Bits of the colour flags that came with a picture.
inline constexpr std::uint8_t kFlagReverse = 0x01;        // the two colours exchanged by the sender
inline constexpr std::uint8_t kFlagYellowAndBlue = 0x80;  // a yellow-and-blue panel; else red and green

// One LED: 0 off, 1 first colour (red, or yellow), 2 second colour (green, or
// blue), 3 both (yellow, or white).
using LedColour = std::uint8_t;

struct PanelPicture {
  int width = 0;   // pixels: all frames side by side
  int height = 0;
  std::uint8_t colourFlags = 0;
  std::vector<LedColour> leds;  // width × height, top row first

  LedColour At(int x, int y) const { return leds[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

inline constexpr std::size_t kParameterBytes = 25;
inline constexpr std::size_t kClockBytes = 8;

struct PanelClock {
  std::array<std::uint8_t, kClockBytes> bytes{};
  // The bytes decoded; the panel's clock runs on from this time.
  LocalTime time;
};

struct PanelState {
  std::optional<std::array<std::uint8_t, kParameterBytes>> parameters;
  std::optional<PanelPicture> picture;
  std::optional<PanelClock> clock;
};

}  // namespace lumetra::panel
