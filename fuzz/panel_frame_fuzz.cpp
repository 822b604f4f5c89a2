// Feeds arbitrary bytes from the line to the virtual panel's session, in
// pieces and with quiet moments between them: it must never crash, hang or
// allocate without bound, and whatever it answers must be well-formed replies
// from its own panels, and whatever picture it keeps must be whole.
//
// An input whose first byte is 0xFF is read instead as commands to panel 1,
// each a function byte, a two-byte length and the payload, framed with a
// good CRC, so that the payloads themselves (picture pieces, packed data)
// are reached.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "panel/panel_session.h"
#include "protocol/frame.h"

namespace {

using namespace lumetra;

std::vector<std::uint8_t> FramedCommands(std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t> line;
  std::uint8_t sequence = 0;
  for (std::size_t at = 0; at + 3 <= bytes.size();) {
    const auto function = protocol::Function(bytes[at]);
    const std::size_t length = std::min<std::size_t>(bytes[at + 1] | std::size_t(bytes[at + 2]) << 8,
                                                     std::min(protocol::kMaxPayload, bytes.size() - at - 3));
    const auto payload = bytes.subspan(at + 3, length);
    const auto frame = protocol::EncodeCommand(
        {{protocol::kModeSingle, {1}}, function, sequence++, {payload.begin(), payload.end()}});
    line.insert(line.end(), frame.begin(), frame.end());
    at += 3 + length;
  }
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte chooses the piece size, 1..256; pieces of 256 are each followed by a quiet line.
  const std::size_t piece = std::size_t(data[0]) + 1;
  const std::vector<std::uint8_t> commands =
      data[0] == 0xFF ? FramedCommands(std::span(data + 1, size - 1)) : std::vector<std::uint8_t>{};
  const std::span<const std::uint8_t> bytes =
      data[0] == 0xFF ? std::span<const std::uint8_t>(commands) : std::span(data + 1, size - 1);
  panel::PanelSession session({0, 1, 254}, {});
  protocol::ReplyDecoder replies;
  std::size_t replyBytes = 0, replyCount = 0;
  const auto check = [&](const std::vector<std::uint8_t>& out) {
    replyBytes += out.size();
    replies.Feed(out, [&](const protocol::Reply& reply) {
      ++replyCount;
      if (reply.address != 0 && reply.address != 1 && reply.address != 254) std::abort();
    });
  };
  for (std::size_t at = 0; at < bytes.size(); at += piece) {
    check(session.Receive(bytes.subspan(at, std::min(piece, bytes.size() - at)), {}));
    if (piece == 256) check(session.LineIdle({}));
  }
  check(session.LineIdle({}));
  if (replyCount * protocol::kReplyBytes != replyBytes) std::abort();
  for (std::uint8_t address : session.Addresses()) {
    const auto& picture = session.State(address).picture;
    if (picture && picture->leds.size() != std::size_t(picture->width) * std::size_t(picture->height)) std::abort();
  }
  return 0;
}
