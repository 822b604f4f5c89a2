#include "protocol/host_link.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "protocol/messages.h"
#include "protocol/port_names.h"

namespace lumetra::protocol {
namespace {

// Shared by every transfer of this library (each display library keeps its
// own count), so that a late reply to an earlier command is never taken for
// the answer to a new one.
std::atomic<std::uint8_t> g_nextSequence{0};

using Clock = std::chrono::steady_clock;

int MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return int(std::max<std::int64_t>(left, 0));
}

}  // namespace

std::optional<Addressing> AddressingFromTable(std::uint8_t mode, const std::uint8_t* table) {
  Addressing to;
  to.mode = mode;
  switch (mode) {
    case kModeBroadcast:
      return to;
    case kModeSingle:
      if (!table || table[0] > kMaxAddress) return std::nullopt;
      to.addresses.push_back(table[0]);
      return to;
    case kModeList:
      if (!table || table[0] > kMaxAddress) return std::nullopt;
      to.addresses.push_back(table[0]);
      for (std::size_t i = 1; i < kMaxListedAddresses && table[i] > table[i - 1] && table[i] <= kMaxAddress; ++i) {
        to.addresses.push_back(table[i]);
      }
      return to;
    default:
      return std::nullopt;
  }
}

std::uint8_t HostLink::Open(const char* port, const LinkTiming& timing) {
  timing_ = timing;
  if (!port) return kResultPortUnavailable;
  try {
    line_.emplace(SerialLine::Open(ResolvePortDevice(port), timing.baud));
  } catch (const SerialError&) {
    return kResultPortUnavailable;
  }
  return kResultOk;
}

int HostLink::LineMs(std::size_t bytes) const {
  return int((bytes * 10 * 1000 + std::size_t(timing_.baud) - 1) / std::size_t(timing_.baud));
}

std::uint8_t HostLink::Send(const Addressing& to, Function function, std::span<const std::uint8_t> payload) {
  if (!line_) return kResultPortUnavailable;
  const Command command{to, function, g_nextSequence++, {payload.begin(), payload.end()}};
  const std::vector<std::uint8_t> frame = EncodeCommand(command);
  for (int attempt = 0; attempt < std::max(timing_.attempts, 1); ++attempt) {
    line_->DiscardInput();
    if (!line_->WriteAll(frame, LineMs(frame.size()) + 1000)) return kResultLineCut;
    if (to.mode == kModeBroadcast) {
      line_->Drain(LineMs(frame.size()) + 1000);
      std::this_thread::sleep_for(std::chrono::milliseconds(timing_.broadcastGapMs));
      return kResultOk;
    }
    switch (AwaitReplies(command, frame.size())) {
      case Outcome::kAnswered:
        return kResultOk;
      case Outcome::kRefused:
        return kResultPanelError;
      case Outcome::kTooLarge:
        return kResultTooLarge;
      case Outcome::kLineGone:
        return kResultLineCut;
      case Outcome::kMissing:
        break;
    }
  }
  return kResultNoAnswer;
}

// Replies are taken in address order; one from another panel, to another
// command or damaged is passed over. A refusal is final: sending the same
// command again would be refused again.
HostLink::Outcome HostLink::AwaitReplies(const Command& command, std::size_t frameBytes) {
  const std::vector<std::uint8_t>& expected = command.to.addresses;
  std::size_t answered = 0;
  Outcome refusal = Outcome::kAnswered;
  ReplyDecoder decoder;
  auto deadline = Clock::now() + std::chrono::milliseconds(LineMs(frameBytes) + timing_.firstAnswerMs);
  std::uint8_t buffer[256];
  while (answered < expected.size()) {
    const ReadResult read = line_->Read(buffer, MillisecondsUntil(deadline));
    if (read.status == ReadStatus::Closed) return Outcome::kLineGone;
    if (read.status == ReadStatus::Timeout) break;
    decoder.Feed(std::span(buffer, read.count), [&](const Reply& reply) {
      if (answered == expected.size() || reply.address != expected[answered] || reply.function != command.function ||
          reply.sequence != command.sequence) {
        return;
      }
      ++answered;
      if (reply.status == Status::kTooLarge) {
        refusal = Outcome::kTooLarge;
      } else if (reply.status != Status::kOk && refusal == Outcome::kAnswered) {
        refusal = Outcome::kRefused;
      }
      deadline = Clock::now() + std::chrono::milliseconds(LineMs(kReplyBytes) + timing_.nextAnswerMs);
    });
    // A line that never falls quiet (noise, another talker) must not keep the
    // wait going: once the time is up, what has been read is all there is.
    if (Clock::now() >= deadline) break;
  }
  if (refusal != Outcome::kAnswered) return refusal;
  return answered == expected.size() ? Outcome::kAnswered : Outcome::kMissing;
}

std::uint8_t HostLink::SendPicture(const Addressing& to, const Bitmap32& picture, std::uint8_t colourFlags) {
  if (picture.Width() <= 0 || picture.Height() <= 0) return kResultPictureUnreadable;
  if (picture.Width() > 0xFFFF || picture.Height() > 0xFFFF) return kResultTooLarge;
  const std::vector<std::uint8_t> planes = PackPlanes(picture, colourFlags);
  const PictureHeader header{std::uint16_t(picture.Width()), std::uint16_t(picture.Height()), colourFlags,
                             kPlaneCount};
  if (std::uint8_t result = Send(to, Function::kPictureBegin, EncodePictureHeader(header))) return result;
  for (std::size_t offset = 0; offset < planes.size(); offset += kMaxDataChunk) {
    const std::size_t count = std::min(kMaxDataChunk, planes.size() - offset);
    const auto payload = EncodePictureData(std::uint32_t(offset), std::span(planes).subspan(offset, count));
    if (std::uint8_t result = Send(to, Function::kPictureData, payload)) return result;
  }
  return Send(to, Function::kPictureEnd, EncodeU32(std::uint32_t(planes.size())));
}

}  // namespace lumetra::protocol
