#pragma once
// The host's end of the protocol, as the display libraries use it: one
// command at a time to the addressed panels, waiting for each panel's reply
// in address order, sending again a bounded number of times when replies are
// missing or damaged, and the result byte the libraries return.

#include <cstdint>
#include <optional>
#include <span>

#include "platform/gdi/bitmap.h"
#include "protocol/frame.h"
#include "protocol/serial_line.h"

namespace lumetra::protocol {

// The result bytes of the display libraries' exports.
inline constexpr std::uint8_t kResultOk = 0;
inline constexpr std::uint8_t kResultPortUnavailable = 1;  // the port cannot be opened, or no port/addresses given
inline constexpr std::uint8_t kResultNoAnswer = 2;         // a panel did not answer, even after the retries
inline constexpr std::uint8_t kResultPanelError = 3;       // a panel refused a command
inline constexpr std::uint8_t kResultPictureUnreadable = 16;  // no picture loaded, or the file is not a usable BMP
inline constexpr std::uint8_t kResultTooLarge = 32;           // the picture does not fit the protocol or the panel
inline constexpr std::uint8_t kResultLineCut = 33;            // writing to the line failed, or the line went away

struct LinkTiming {
  int baud = 115200;
  int firstAnswerMs = 250;   // after the frame has gone out, for the first panel
  int nextAnswerMs = 100;    // for each further panel, after the previous reply
  int attempts = 4;          // one send and up to three repeats
  int broadcastGapMs = 20;   // after a broadcast frame, for the panels to take it in
};

// The addressing carried by an address-mode byte and a 128-byte address
// table: single takes entry 0; list takes the ascending run from entry 0
// (the zeros after the last address end it); broadcast needs no table.
// nullopt for another mode byte or a missing table.
std::optional<Addressing> AddressingFromTable(std::uint8_t mode, const std::uint8_t* table);

class HostLink {
 public:
  // `port` is "COM1".."COM4" (mapped to a device) or a device path.
  // kResultOk, or kResultPortUnavailable when the port cannot be opened.
  std::uint8_t Open(const char* port, const LinkTiming& timing = {});

  // One command to the addressed panels; a result byte.
  std::uint8_t Send(const Addressing& to, Function function, std::span<const std::uint8_t> payload);
  // A picture as its beginning, its plane bytes in pieces and its end.
  std::uint8_t SendPicture(const Addressing& to, const Bitmap32& picture, std::uint8_t colourFlags);

 private:
  enum class Outcome { kAnswered, kRefused, kTooLarge, kMissing, kLineGone };
  Outcome AwaitReplies(const Command& command, std::size_t frameBytes);
  // Milliseconds the line needs for this many bytes (ten bits each).
  int LineMs(std::size_t bytes) const;

  std::optional<SerialLine> line_;
  LinkTiming timing_;
};

}  // namespace lumetra::protocol
