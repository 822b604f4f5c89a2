// Feeds arbitrary bytes from the line to the virtual panel's session, in
// pieces and with quiet moments between them: it must never crash, hang or
// allocate without bound, and whatever it answers must be well-formed replies
// from its own panels, and whatever picture it keeps must be whole.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "panel/panel_session.h"
#include "protocol/frame.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  using namespace lumetra;
  // The first byte chooses the piece size, 1..256; pieces of 256 are each followed by a quiet line.
  const std::size_t piece = std::size_t(data[0]) + 1;
  const std::span<const std::uint8_t> bytes(data + 1, size - 1);
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
