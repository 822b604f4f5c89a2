#pragma once
// The panels on one line, as the protocol sees them: command frames in,
// replies out, each panel keeping what it was sent. No I/O happens here; the
// program feeds the bytes from the line and writes the replies back, so the
// whole exchange can be driven byte by byte in tests and by the fuzzer.

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "protocol/frame.h"
#include "render/panel_state.h"

namespace lumetra::panel {

// Misbehaviour on demand, for testing the senders.
struct Faults {
  bool silent = false;                             // dead panels: nothing is taken, nothing answered
  std::vector<std::uint8_t> silentAddresses = {};  // only these panels dead; the others answer in their slots
  bool answerError = false;                        // every command refused with a panel fault
  int damagedFrames = 0;                           // the next N frames arrive damaged: they fail their check
  int droppedBytes = 0;                            // the next N bytes from the line are lost
  std::vector<std::uint8_t> withoutPackedData = {};  // older panels: packed picture data is an unknown function
};

// The largest picture a panel keeps, in plane bytes: two colours of
// 8192 × 256 LEDs.
inline constexpr std::size_t kPanelMemoryBytes = 512 * 1024;

// What happened to one frame, for the event log.
struct FrameEvent {
  protocol::Command command;
  bool damaged = false;                  // thrown away as if it had failed its check
  std::vector<protocol::Reply> replies;  // in the order sent
  std::vector<std::uint8_t> changed;     // panels whose state changed
};

class PanelSession {
 public:
  // `addresses` are the panels on this line (0..254, any order, repeats ignored).
  PanelSession(std::vector<std::uint8_t> addresses, Faults faults);

  using ReplySink = std::function<void(std::span<const std::uint8_t>)>;
  using FrameListener = std::function<void(const FrameEvent&)>;

  // Bytes from the line. Each panel's reply goes to `sendReply` as soon as
  // that panel has carried the command out, so a panel slow with a large
  // picture does not hold back the replies of the panels before it.
  // `onFrame` hears of every decoded frame after it was carried out.
  void Receive(std::span<const std::uint8_t> bytes, const ReplySink& sendReply, const FrameListener& onFrame);
  // The line fell quiet; a partial frame is given up.
  void LineIdle(const ReplySink& sendReply, const FrameListener& onFrame);
  // The same, returning the replies together.
  std::vector<std::uint8_t> Receive(std::span<const std::uint8_t> bytes, const FrameListener& onFrame);
  std::vector<std::uint8_t> LineIdle(const FrameListener& onFrame);

  const std::vector<std::uint8_t>& Addresses() const { return addresses_; }
  const PanelState& State(std::uint8_t address) const { return panels_.at(address).state; }

 private:
  // A picture on its way in.
  struct Incoming {
    protocol::PictureHeader header;
    std::vector<std::uint8_t> planes;
    std::size_t received = 0;  // bytes from the start that have arrived
    bool begun = false;
  };
  struct Panel {
    PanelState state;
    Incoming incoming;
  };

  void Handle(const protocol::Command& command, const ReplySink& sendReply, const FrameListener& onFrame);
  protocol::Status Apply(Panel& panel, const protocol::Command& command, bool& changed);
  protocol::Status BeginPicture(Panel& panel, std::span<const std::uint8_t> payload);
  protocol::Status TakePictureData(Panel& panel, std::span<const std::uint8_t> payload);
  protocol::Status TakePackedPictureData(Panel& panel, std::span<const std::uint8_t> payload);
  // Where data for [offset, offset + count) may go: kOk, or why not.
  static protocol::Status CheckDataRange(const Incoming& in, std::size_t offset, std::size_t count);
  protocol::Status EndPicture(Panel& panel, std::span<const std::uint8_t> payload, bool& changed);

  std::vector<std::uint8_t> addresses_;
  std::map<std::uint8_t, Panel> panels_;
  Faults faults_;
  protocol::CommandDecoder decoder_;
};

// Names for logs: "clear", "parameters", …; "single", "list", "broadcast"; "ok", "bad payload", ….
std::string FunctionName(protocol::Function function);
std::string ModeName(std::uint8_t mode);
std::string StatusName(protocol::Status status);

}  // namespace lumetra::panel
