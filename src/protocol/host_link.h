#pragma once
// The host's end of the protocol, as the display libraries use it: one
// command at a time to the addressed panels, waiting for each panel's reply
// in its slot, sending again a bounded number of times to the panels whose
// replies are missing or damaged, going on with the panels that took every
// command when others of a list failed, and the result byte the libraries
// return.

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "platform/gdi/bitmap.h"
#include "protocol/frame.h"
#include "protocol/byte_link.h"
#include "protocol/port_names.h"

namespace lumetra::protocol {

// The result bytes of the display libraries' exports.
inline constexpr std::uint8_t kResultOk = 0;
inline constexpr std::uint8_t kResultPortUnavailable = 1;  // the port cannot be opened, or no port/addresses given
inline constexpr std::uint8_t kResultNoAnswer = 2;         // a panel did not answer, even after the retries
inline constexpr std::uint8_t kResultPanelError = 3;       // a panel refused a command
inline constexpr std::uint8_t kResultPictureUnreadable = 16;  // no picture loaded, or the file is not a usable BMP
inline constexpr std::uint8_t kResultTooLarge = 32;           // the picture does not fit the protocol or the panel
inline constexpr std::uint8_t kResultLineCut = 33;            // writing to the line failed, or the line went away
inline constexpr std::uint8_t kResultCancelled = 48;          // the transfer was cancelled; nothing more was sent

// How long a network controller may take to accept the connection.
inline constexpr int kConnectTimeoutMs = 3000;

struct LinkTiming {
  int baud = 115200;
  int firstAnswerMs = 250;   // after the frame has gone out, for the first panel
  int nextAnswerMs = 100;    // for each further panel, after the slot before it
  int attempts = 4;          // one send and up to three repeats
  int broadcastCopies = 3;   // nobody confirms a broadcast, so it goes out this often
  int broadcastGapMs = 20;   // after each broadcast frame, for the panels to take it in
};

// The addressing carried by an address-mode byte and a 128-byte address
// table: single takes entry 0; list takes the ascending run from entry 0
// (the zeros after the last address end it); broadcast needs no table.
// nullopt for another mode byte or a missing table.
std::optional<Addressing> AddressingFromTable(std::uint8_t mode, const std::uint8_t* table);

// One transfer over one port. Each command goes to the panels that took
// every command of the link before it; a panel that stays silent or refuses
// drops out with its result, and the others go on.
class HostLink {
 public:
  // `port` is "COM1".."COM4" (mapped to a device or a network controller),
  // a device path or "tcp://HOST:PORT" (protocol/port_names.h); the rate of
  // the port replaces timing.baud. kResultOk, or kResultPortUnavailable when
  // the port cannot be opened; Device() and OpenError() then say which
  // device and why.
  std::uint8_t Open(const char* port, const LinkTiming& timing = {});
  // While *cancelled holds, no further frame goes out and the link fails
  // with kResultCancelled. The flag must outlive the link.
  void SetCancelFlag(const std::atomic<bool>* cancelled) { cancelled_ = cancelled; }

  // One command to the panels of `to` still reached. kResultOk while some
  // panel is left to go on with (a broadcast: until the line fails), else
  // Result().
  std::uint8_t Send(const Addressing& to, Function function, std::span<const std::uint8_t> payload);
  // A picture as its beginning, its plane bytes in pieces and its end;
  // Result() afterwards. The pieces go packed as the port says
  // (PackedPictures); a panel that answers the first packed piece with
  // kUnknownFunction gets the planes from there on plain instead.
  std::uint8_t SendPicture(const Addressing& to, const Bitmap32& picture, std::uint8_t colourFlags);

  // The first failure of the link, kResultOk while every panel took every
  // command. Within one command a panel's "too large" outranks another's
  // refusal, and a refusal outranks silence.
  std::uint8_t Result() const { return result_; }
  // Each panel a command was meant for: kResultOk when it took every
  // command, else the result of the command it failed.
  const std::map<std::uint8_t, std::uint8_t>& PanelResults() const { return panels_; }

  const std::string& Device() const { return device_; }
  // The errno of a port that could not be opened; 0 after a good open, or
  // when the name named no device.
  int OpenError() const { return openError_; }

 private:
  // `to` without the panels that failed before; its new panels are recorded.
  Addressing StillReached(const Addressing& to);
  bool Reaches(const Addressing& reached) const;
  // A failure of the whole link: every panel still reached fails with it.
  std::uint8_t Fail(std::uint8_t result);
  // Send; with `unknownTo`, the panels that do not know the function are put
  // there instead of failing.
  std::uint8_t Send(const Addressing& to, Function function, std::span<const std::uint8_t> payload,
                    std::vector<std::uint8_t>* unknownTo);
  std::uint8_t SendBroadcast(const std::vector<std::uint8_t>& frame);
  // Collects the replies to `command`; false when the line went away.
  bool AwaitReplies(const Command& command, std::size_t frameBytes, std::map<std::uint8_t, Status>& answers);
  // Milliseconds the line needs for this many bytes (ten bits each).
  int LineMs(std::size_t bytes) const;

  // Before each frame: a cancelled link fails and sends nothing more.
  bool Cancelled();

  std::unique_ptr<ByteLink> line_;
  const std::atomic<bool>* cancelled_ = nullptr;
  LinkTiming timing_;
  PackedPictures packed_ = PackedPictures::kAddressed;
  std::string device_;
  int openError_ = 0;
  std::map<std::uint8_t, std::uint8_t> panels_;
  std::uint8_t result_ = kResultOk;
};

}  // namespace lumetra::protocol
