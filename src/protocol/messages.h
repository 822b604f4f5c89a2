#pragma once
// The payloads of the protocol's commands: the picture as two bit planes and
// its header, data and end, the parameter block, the clock and the function
// numbers. docs/protocol.md describes the bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/gdi/bitmap.h"
#include "platform/local_time.h"
#include "protocol/frame.h"

namespace lumetra::protocol {

// The parameter block: bytes 0..3 the panel's pixel height and width (high
// byte first); 4 the play-mode row count; 5..9 the clock style, colour code,
// word row, frame and alignment; 10..24 play-mode rows 1..3 (mode, start − 1,
// end, speed code, delay).
inline constexpr std::size_t kParameterBytes = 25;
inline constexpr int kSentPlayModeRows = 3;
using ParameterBlock = std::array<std::uint8_t, kParameterBytes>;

// The clock: century, year, month, day, day of week (0 = Sunday), hour,
// minute, second, each in packed BCD.
inline constexpr std::size_t kClockBytes = 8;
using ClockBytes = std::array<std::uint8_t, kClockBytes>;

// Function numbers carried by Function::kFunctionNumber.
inline constexpr std::uint8_t kFunctionPrepareForPicture = 14;
inline constexpr std::uint8_t kFunctionShowPicture = 1;

// Colour flags that come with a picture.
inline constexpr std::uint8_t kFlagReverse = 0x01;        // the two colours exchanged
inline constexpr std::uint8_t kFlagYellowAndBlue = 0x80;  // a yellow-and-blue panel; else red and green

// One LED: 0 off, 1 first colour (red, or yellow), 2 second colour (green,
// or blue), 3 both (yellow, or white).
using LedColour = std::uint8_t;
inline constexpr int kPlaneCount = 2;

// The LED a picture pixel (0x00RRGGBB) lights: the first colour from red at
// half strength or more; the second from green on a red-and-green panel and
// from blue on a yellow-and-blue one; with kFlagReverse the two exchanged.
LedColour LedColourOf(std::uint32_t pixel, std::uint8_t colourFlags);

// Bytes of both planes of a width × height picture: each plane one bit per
// LED, rows top first, each row from the left, most significant bit first,
// rows padded to whole bytes.
std::size_t PlaneBytes(int width, int height);
std::vector<std::uint8_t> PackPlanes(const Bitmap32& picture, std::uint8_t colourFlags);
// The LEDs of planes of the given size (which PlaneBytes must match).
std::vector<LedColour> UnpackPlanes(std::span<const std::uint8_t> planes, int width, int height);

struct PictureHeader {
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::uint8_t colourFlags = 0;
  std::uint8_t planes = kPlaneCount;
  friend bool operator==(const PictureHeader&, const PictureHeader&) = default;
};
inline constexpr std::size_t kPictureHeaderBytes = 6;
std::vector<std::uint8_t> EncodePictureHeader(const PictureHeader& header);
std::optional<PictureHeader> DecodePictureHeader(std::span<const std::uint8_t> payload);

// A piece of the planes: its offset, then the bytes.
inline constexpr std::size_t kDataOffsetBytes = 4;
inline constexpr std::size_t kMaxDataChunk = kMaxPayload - kDataOffsetBytes;
std::vector<std::uint8_t> EncodePictureData(std::uint32_t offset, std::span<const std::uint8_t> bytes);
struct PictureData {
  std::uint32_t offset = 0;
  std::span<const std::uint8_t> bytes;
};
std::optional<PictureData> DecodePictureData(std::span<const std::uint8_t> payload);

// A piece of the planes packed (protocol/plane_code.h): the offset of the
// first plane byte it stands for, how many it stands for, then the code.
inline constexpr std::size_t kPackedDataHeaderBytes = 8;
inline constexpr std::size_t kMaxPackedCode = kMaxPayload - kPackedDataHeaderBytes;
std::vector<std::uint8_t> EncodePackedPictureData(std::uint32_t offset, std::uint32_t count,
                                                  std::span<const std::uint8_t> code);
struct PackedPictureData {
  std::uint32_t offset = 0;
  std::uint32_t count = 0;
  std::span<const std::uint8_t> code;
};
std::optional<PackedPictureData> DecodePackedPictureData(std::span<const std::uint8_t> payload);

// One data command of a picture and the plane bytes it carries.
struct PictureDataFrame {
  Function function = Function::kPictureData;
  std::vector<std::uint8_t> payload;
  std::size_t offset = 0;
  std::size_t count = 0;
};
// The data commands for the planes from `from` to their end, in order:
// plain pieces of kMaxDataChunk bytes; with `packed`, each command is packed
// instead when that carries more of the planes, or as much in fewer bytes,
// so a picture never costs more packed than plain.
std::vector<PictureDataFrame> PlanPictureData(std::span<const std::uint8_t> planes, std::size_t from, bool packed);

// The end of a picture carries the number of plane bytes sent.
std::vector<std::uint8_t> EncodeU32(std::uint32_t value);
std::optional<std::uint32_t> DecodeU32(std::span<const std::uint8_t> payload);

// The clock bytes as a time; nullopt for a digit above 9 or a value out of
// its range.
std::optional<LocalTime> DecodeClock(std::span<const std::uint8_t> bytes);

}  // namespace lumetra::protocol
