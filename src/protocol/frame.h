#pragma once
// Framing of the serial protocol between the display libraries (the host)
// and the panels: command frames from the host, reply frames from each
// addressed panel, both closed by a CRC. docs/protocol.md describes the bytes.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace lumetra::protocol {

inline constexpr std::uint8_t kCommandStart = 0xA5;
inline constexpr std::uint8_t kReplyStart = 0xA6;

// Address-mode bytes, as the send dialog makes them.
inline constexpr std::uint8_t kModeSingle = 0x01;
inline constexpr std::uint8_t kModeList = 0x55;
inline constexpr std::uint8_t kModeBroadcast = 0x5A;

inline constexpr std::size_t kMaxListedAddresses = 127;
inline constexpr std::uint8_t kMaxAddress = 254;
inline constexpr std::size_t kMaxPayload = 4096;

enum class Function : std::uint8_t {
  kClear = 0x10,
  kParameters = 0x11,
  kClock = 0x12,
  kFunctionNumber = 0x13,  // one byte: 14 before a picture, 1 after it
  kPictureBegin = 0x20,
  kPictureData = 0x21,
  kPictureEnd = 0x22,
  kPictureDataPacked = 0x23,  // picture data packed (protocol/plane_code.h); older panels answer kUnknownFunction
};

// What a panel answers about one command.
enum class Status : std::uint8_t {
  kOk = 0,
  kBadPayload = 1,   // wrong length or values the panel cannot take
  kTooLarge = 2,     // the picture does not fit the panel's memory
  kOutOfOrder = 3,   // picture data without a beginning, a gap, an end too early
  kPanelFault = 4,   // the panel cannot carry the command out
  kUnknownFunction = 5,  // the panel does not know the command's function
};

// Which panels a command is for.
struct Addressing {
  std::uint8_t mode = kModeSingle;
  std::vector<std::uint8_t> addresses;  // ascending, no repeats; empty for broadcast

  bool Includes(std::uint8_t address) const;
};

struct Command {
  Addressing to;
  Function function = Function::kClear;
  std::uint8_t sequence = 0;
  std::vector<std::uint8_t> payload;
};

struct Reply {
  std::uint8_t address = 0;
  Function function = Function::kClear;
  std::uint8_t sequence = 0;
  Status status = Status::kOk;
  friend bool operator==(const Reply&, const Reply&) = default;
};

inline constexpr std::size_t kReplyBytes = 7;

// CRC-16/CCITT-FALSE: polynomial 0x1021, initial value 0xFFFF, no reflection.
std::uint16_t Crc16(std::span<const std::uint8_t> bytes, std::uint16_t crc = 0xFFFF);

// Needs a valid addressing (single: one address; list: 1..127 addresses;
// broadcast: none) and a payload of at most kMaxPayload bytes.
std::vector<std::uint8_t> EncodeCommand(const Command& command);
std::array<std::uint8_t, kReplyBytes> EncodeReply(const Reply& reply);

// Finds command frames in the bytes arriving from the line. Bytes before a
// start byte and frames with a bad CRC or impossible address lists or
// lengths are thrown away, the search going on at the byte after
// the rejected start; nothing grows past one largest frame.
class CommandDecoder {
 public:
  // Feeds bytes; every complete, valid frame goes to `onCommand` in order,
  // also one with a function this end does not know, which it must refuse.
  void Feed(std::span<const std::uint8_t> bytes, const std::function<void(const Command&)>& onCommand);
  // The line fell quiet in the middle of a frame: the partial frame is
  // rejected and the bytes after its start are searched again, so a damaged
  // length cannot hold back the frames that follow.
  void LineIdle(const std::function<void(const Command&)>& onCommand);

  std::size_t RejectedFrames() const { return rejected_; }

 private:
  // Where the parts of the frame at the start of the buffer lie; size 0
  // while its header is incomplete, nullopt when it cannot be a frame's.
  struct Layout {
    std::size_t addressesAt = 2;
    std::size_t addressCount = 0;
    std::size_t size = 0;  // the whole frame, CRC included
  };
  std::optional<Layout> FrameLayout() const;
  void Reject();
  // Hands out every complete frame at the start of the buffer.
  void TakeFrames(const std::function<void(const Command&)>& onCommand);

  std::vector<std::uint8_t> buffer_;
  std::size_t rejected_ = 0;
};

// The same for replies, on the host's side.
class ReplyDecoder {
 public:
  void Feed(std::span<const std::uint8_t> bytes, const std::function<void(const Reply&)>& onReply);

 private:
  std::vector<std::uint8_t> buffer_;
};

}  // namespace lumetra::protocol
