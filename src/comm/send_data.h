#pragma once
// The bytes a transfer hands to the display libraries besides the addresses,
// made from the document and the time: the parameter block, the picture's
// colour flags, the clock bytes (their types in protocol/messages.h), the
// picture size and port name, and the message for a result code.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/local_time.h"
#include "platform/types.h"
#include "protocol/messages.h"

namespace lumetra {

class CTessaraDoc;
class Language;

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
// frame cannot be placed on a panel.
inline constexpr int kMaxClockFrame = 255;

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

// "COM1".."COM4" for the port index 0..3.
std::string PortName(int portIndex);

inline constexpr int kTransferFailedKey = 2001;     // play mode dialog's Apply
inline constexpr int kTransferSucceededKey = 2002;  // every successful transfer

// Language key of a result code: 0 → "33000", 1, 2, 3 → "33001".."33003",
// 16 → "33004", 32, 33, 34 → "33005".."33007"; nothing for any other code.
std::optional<int> ResultCodeKey(int code);
// The message for a result code: its language text, or for a code without a
// key the unknown-code text with the number in it.
std::string ResultCodeMessage(const Language& language, int code);
inline constexpr const char* kUnknownResultFormat = "未知错误: 代号 = %d";

}  // namespace lumetra
