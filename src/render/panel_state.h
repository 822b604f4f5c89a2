#pragma once
// What a virtual panel holds after the transfers it answered: the last
// parameter block, the last picture as colour indices and the last clock.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/local_time.h"
#include "protocol/messages.h"

namespace lumetra {

using protocol::ClockBytes;
using protocol::kFlagReverse;
using protocol::kFlagYellowAndBlue;
using protocol::kParameterBytes;
using protocol::kSentPlayModeRows;
using protocol::LedColour;
using protocol::ParameterBlock;

struct PanelPicture {
  int width = 0;  // pixels: all frames side by side
  int height = 0;
  std::uint8_t colourFlags = 0;
  std::vector<LedColour> leds;  // width × height, top row first (0 off, 1 first colour, 2 second, 3 both)

  LedColour At(int x, int y) const { return leds[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
};

struct PanelClock {
  ClockBytes bytes{};
  // The bytes decoded; the panel's clock runs on from this time.
  LocalTime time;
};

struct PanelState {
  std::optional<ParameterBlock> parameters;
  std::optional<PanelPicture> picture;
  std::optional<PanelClock> clock;
};

}  // namespace lumetra
