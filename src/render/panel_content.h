#pragma once
// What a document gives the panel: the parameter block, the picture's colour
// flags and the clock bytes (their types in protocol/messages.h), the picture
// size, and all of it together as the state the panel holds after a send,
// which the playback engine (render/playback.h) plays.

#include <array>
#include <cstdint>
#include <optional>

#include "platform/local_time.h"
#include "platform/types.h"
#include "protocol/messages.h"
#include "render/panel_state.h"

namespace lumetra {

class CTessaraDoc;

using protocol::ClockBytes;
using protocol::kSentPlayModeRows;
using protocol::ParameterBlock;

// Speed index 0..5 (slower .. very fast) as the panel's speed code.
inline constexpr std::array<std::uint8_t, 6> kSpeedCodes = {30, 20, 12, 10, 6, 2};

// The document's parameter block. The clock style is sent only when the
// view holds a clock unit (clockCount > 0). Values a loaded file may hold out
// of range are limited to what the panel understands instead of wrapping
// into another meaning.
ParameterBlock BuildParameterBlock(const CTessaraDoc& doc, int clockCount);

// Whether the panels are to show a clock: the view holds a clock unit and
// the document's clock style is one of 1..4.
bool ShowsClock(const CTessaraDoc& doc, int clockCount);
// The document holds the clock's frame in one byte, so a clock beyond this
// frame cannot be placed on a panel: a send refuses it.
inline constexpr int kMaxClockFrame = 255;
// The frame (1-based) of the document's last clock, which is the one the
// panels show; 0 without a clock.
std::int64_t ClockFrame(const CTessaraDoc& doc);
// That frame when the panels are to show the clock there and it stands
// beyond kMaxClockFrame; nothing otherwise.
std::optional<std::int64_t> ClockFrameBeyondPanels(const CTessaraDoc& doc);

std::uint8_t SpeedCode(int speedIndex);
// Clock colour index black, red, green, yellow (0..3) as the codes 3, 2, 1, 0.
std::uint8_t ClockColourCode(int colourIndex);

// Colour set 0: 0x00, reversed 0x01; set 1: 0x80, reversed 0x81; the mono
// set 2 (and any other) 0x00 whether reversed or not.
std::uint8_t ColourFlags(int colourSet, bool reverseColour);

// The clock bytes of a time.
ClockBytes MakeClockBytes(const LocalTime& time);
// 0..99 in packed BCD (tens in the high nibble); values outside are limited.
std::uint8_t ToPackedBcd(int value);

// The picture strip's size in pixels: frames side by side.
CSize SentPictureSize(const CTessaraDoc& doc);

// What a send takes besides the document.
struct SendConditions {
  LocalTime clock;             // the computer's time, to which the send sets the panels' clock
  bool reverseColour = false;  // the send dialog's "Reverse color"
  CPoint origin;               // the view's window origin, with which the picture is drawn
};

// What a panel holds after "Send picture to device" of `doc` with the clock
// refreshed: the parameters (with the clock style when the document holds a
// clock), the picture without clocks as the LEDs it lights, and the clock.
// The document's clock must have been placed, as for a send, and stand
// within kMaxClockFrame when the document shows one. nullopt when the
// picture cannot be made (see RenderPictureStrip).
std::optional<PanelState> PanelStateAfterSend(const CTessaraDoc& doc, const SendConditions& send);

}  // namespace lumetra
