#include "protocol/frame.h"

#include <algorithm>
#include <stdexcept>

namespace lumetra::protocol {
namespace {

constexpr std::size_t kCrcBytes = 2;
// Function, sequence and the two length bytes after the addresses.
constexpr std::size_t kHeaderTail = 4;

void AppendCrc(std::vector<std::uint8_t>& frame) {
  const std::uint16_t crc = Crc16(std::span(frame).subspan(1));
  frame.push_back(std::uint8_t(crc >> 8));
  frame.push_back(std::uint8_t(crc));
}

// The CRC after the start byte matches the last two bytes.
bool CrcMatches(std::span<const std::uint8_t> frame) {
  const std::uint16_t crc = Crc16(frame.subspan(1, frame.size() - 1 - kCrcBytes));
  return frame[frame.size() - 2] == std::uint8_t(crc >> 8) && frame[frame.size() - 1] == std::uint8_t(crc);
}

bool IsStrictlyAscending(std::span<const std::uint8_t> addresses) {
  return std::adjacent_find(addresses.begin(), addresses.end(), std::greater_equal<>()) == addresses.end();
}

bool IsValidAddressing(const Addressing& to) {
  const auto tooHigh = [](std::uint8_t a) { return a > kMaxAddress; };
  if (std::any_of(to.addresses.begin(), to.addresses.end(), tooHigh)) return false;
  switch (to.mode) {
    case kModeSingle:
      return to.addresses.size() == 1;
    case kModeList:
      return !to.addresses.empty() && to.addresses.size() <= kMaxListedAddresses && IsStrictlyAscending(to.addresses);
    case kModeBroadcast:
      return to.addresses.empty();
    default:
      return false;
  }
}

// Drops the rejected start byte and whatever follows up to the next start.
void Resynchronise(std::vector<std::uint8_t>& buffer, std::uint8_t start) {
  auto next = std::find(buffer.begin() + (buffer.empty() ? 0 : 1), buffer.end(), start);
  buffer.erase(buffer.begin(), next);
}

}  // namespace

bool Addressing::Includes(std::uint8_t address) const {
  if (mode == kModeBroadcast) return true;
  return std::find(addresses.begin(), addresses.end(), address) != addresses.end();
}

std::uint16_t Crc16(std::span<const std::uint8_t> bytes, std::uint16_t crc) {
  for (std::uint8_t byte : bytes) {
    crc ^= std::uint16_t(byte << 8);
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 0x8000) ? std::uint16_t((crc << 1) ^ 0x1021) : std::uint16_t(crc << 1);
  }
  return crc;
}

std::vector<std::uint8_t> EncodeCommand(const Command& command) {
  if (!IsValidAddressing(command.to)) throw std::invalid_argument("command with an impossible addressing");
  if (command.payload.size() > kMaxPayload) throw std::invalid_argument("command payload too long");
  std::vector<std::uint8_t> frame{kCommandStart, command.to.mode};
  if (command.to.mode == kModeList) frame.push_back(std::uint8_t(command.to.addresses.size()));
  frame.insert(frame.end(), command.to.addresses.begin(), command.to.addresses.end());
  const auto length = std::uint16_t(command.payload.size());
  frame.insert(frame.end(), {std::uint8_t(command.function), command.sequence, std::uint8_t(length),
                             std::uint8_t(length >> 8)});
  frame.insert(frame.end(), command.payload.begin(), command.payload.end());
  AppendCrc(frame);
  return frame;
}

std::array<std::uint8_t, kReplyBytes> EncodeReply(const Reply& reply) {
  std::vector<std::uint8_t> frame{kReplyStart, reply.address, std::uint8_t(reply.function), reply.sequence,
                                  std::uint8_t(reply.status)};
  AppendCrc(frame);
  std::array<std::uint8_t, kReplyBytes> bytes{};
  std::copy(frame.begin(), frame.end(), bytes.begin());
  return bytes;
}

std::optional<CommandDecoder::Layout> CommandDecoder::FrameLayout() const {
  Layout layout;
  if (buffer_.size() < 2) return layout;
  switch (buffer_[1]) {
    case kModeSingle:
      layout.addressCount = 1;
      break;
    case kModeList:
      if (buffer_.size() < 3) return layout;
      layout.addressesAt = 3;
      layout.addressCount = buffer_[2];
      if (layout.addressCount == 0 || layout.addressCount > kMaxListedAddresses) return std::nullopt;
      break;
    case kModeBroadcast:
      break;
    default:
      return std::nullopt;
  }
  const std::size_t tail = layout.addressesAt + layout.addressCount;
  if (buffer_.size() < tail + kHeaderTail) return layout;
  const std::span<const std::uint8_t> addresses(buffer_.data() + layout.addressesAt, layout.addressCount);
  if (std::any_of(addresses.begin(), addresses.end(), [](std::uint8_t a) { return a > kMaxAddress; }) ||
      !IsStrictlyAscending(addresses)) {
    return std::nullopt;
  }
  const std::size_t length = buffer_[tail + 2] | std::size_t(buffer_[tail + 3]) << 8;
  if (length > kMaxPayload) return std::nullopt;
  layout.size = tail + kHeaderTail + length + kCrcBytes;
  return layout;
}

void CommandDecoder::Reject() {
  ++rejected_;
  Resynchronise(buffer_, kCommandStart);
}

void CommandDecoder::TakeFrames(const std::function<void(const Command&)>& onCommand) {
  while (!buffer_.empty()) {
    const std::optional<Layout> layout = FrameLayout();
    if (layout && (layout->size == 0 || layout->size > buffer_.size())) return;
    if (!layout || !CrcMatches(std::span(buffer_).first(layout->size))) {
      Reject();
      continue;
    }
    Command command;
    command.to.mode = buffer_[1];
    const auto addresses = buffer_.begin() + std::ptrdiff_t(layout->addressesAt);
    const auto tail = addresses + std::ptrdiff_t(layout->addressCount);
    const auto end = buffer_.begin() + std::ptrdiff_t(layout->size);
    command.to.addresses.assign(addresses, tail);
    command.function = Function(tail[0]);
    command.sequence = tail[1];
    command.payload.assign(tail + kHeaderTail, end - kCrcBytes);
    buffer_.erase(buffer_.begin(), end);
    onCommand(command);
  }
}

void CommandDecoder::Feed(std::span<const std::uint8_t> bytes, const std::function<void(const Command&)>& onCommand) {
  for (std::uint8_t byte : bytes) {
    if (buffer_.empty() && byte != kCommandStart) continue;
    buffer_.push_back(byte);
    TakeFrames(onCommand);
  }
}

void CommandDecoder::LineIdle(const std::function<void(const Command&)>& onCommand) {
  if (buffer_.empty()) return;
  Reject();
  TakeFrames(onCommand);
}

void ReplyDecoder::Feed(std::span<const std::uint8_t> bytes, const std::function<void(const Reply&)>& onReply) {
  for (std::uint8_t byte : bytes) {
    if (buffer_.empty() && byte != kReplyStart) continue;
    buffer_.push_back(byte);
    while (buffer_.size() >= kReplyBytes) {
      const std::span<const std::uint8_t> frame = std::span(buffer_).first(kReplyBytes);
      if (!CrcMatches(frame)) {
        Resynchronise(buffer_, kReplyStart);
        continue;
      }
      const Reply reply{frame[1], Function(frame[2]), frame[3], Status(frame[4])};
      buffer_.erase(buffer_.begin(), buffer_.begin() + kReplyBytes);
      onReply(reply);
    }
  }
}

}  // namespace lumetra::protocol
