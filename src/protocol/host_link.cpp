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

std::uint8_t ResultOf(Status status) {
  switch (status) {
    case Status::kOk:
      return kResultOk;
    case Status::kTooLarge:
      return kResultTooLarge;
    default:
      return kResultPanelError;
  }
}

// Within one command: too large outranks a refusal, a refusal outranks silence.
int Rank(std::uint8_t result) {
  switch (result) {
    case kResultOk:
      return 0;
    case kResultNoAnswer:
      return 1;
    case kResultPanelError:
      return 2;
    default:
      return 3;
  }
}

std::uint8_t Worse(std::uint8_t a, std::uint8_t b) { return Rank(b) > Rank(a) ? b : a; }

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
  if (!port) return Fail(kResultPortUnavailable);
  try {
    const PortTarget target = ResolvePort(port);
    device_ = target.IsNetwork() ? target.Describe() : target.device;
    timing_.baud = target.baud;
    packed_ = target.packed;
    line_ = OpenPort(target, kConnectTimeoutMs);
  } catch (const LinkError& error) {
    openError_ = error.OsError();
    return Fail(kResultPortUnavailable);
  }
  return kResultOk;
}

int HostLink::LineMs(std::size_t bytes) const {
  return int((bytes * 10 * 1000 + std::size_t(timing_.baud) - 1) / std::size_t(timing_.baud));
}

Addressing HostLink::StillReached(const Addressing& to) {
  Addressing reached{to.mode, {}};
  for (std::uint8_t address : to.addresses) {
    if (panels_.try_emplace(address, kResultOk).first->second == kResultOk) reached.addresses.push_back(address);
  }
  return reached;
}

bool HostLink::Reaches(const Addressing& reached) const {
  return reached.mode == kModeBroadcast ? result_ == kResultOk : !reached.addresses.empty();
}

std::uint8_t HostLink::Fail(std::uint8_t result) {
  for (auto& [address, panelResult] : panels_) {
    if (panelResult == kResultOk) panelResult = result;
  }
  if (result_ == kResultOk) result_ = result;
  return result_;
}

// The cancel outranks whatever failed before it: the user stopped the transfer.
bool HostLink::Cancelled() {
  if (!cancelled_ || !cancelled_->load()) return false;
  Fail(kResultCancelled);
  result_ = kResultCancelled;
  return true;
}

std::uint8_t HostLink::Send(const Addressing& to, Function function, std::span<const std::uint8_t> payload) {
  return Send(to, function, payload, nullptr);
}

std::uint8_t HostLink::Send(const Addressing& to, Function function, std::span<const std::uint8_t> payload,
                            std::vector<std::uint8_t>* unknownTo) {
  const Addressing reached = StillReached(to);
  if (!Reaches(reached)) return result_;
  if (!line_) return Fail(kResultPortUnavailable);
  if (Cancelled()) return result_;
  Command command{reached, function, g_nextSequence++, {payload.begin(), payload.end()}};
  if (to.mode == kModeBroadcast) return SendBroadcast(EncodeCommand(command));

  std::map<std::uint8_t, Status> answers;
  for (int attempt = 0; attempt < std::max(timing_.attempts, 1) && !command.to.addresses.empty(); ++attempt) {
    const std::vector<std::uint8_t> frame = EncodeCommand(command);
    if (attempt > 0 && Cancelled()) return result_;
    line_->DiscardInput();
    if (!line_->WriteAll(frame, LineMs(frame.size()) + 1000)) return Fail(kResultLineCut);
    if (!AwaitReplies(command, frame.size(), answers)) return Fail(kResultLineCut);
    // The same command again, with its sequence number, to the panels whose replies are missing.
    std::erase_if(command.to.addresses, [&](std::uint8_t address) { return answers.contains(address); });
  }
  std::uint8_t worst = kResultOk;
  for (std::uint8_t address : reached.addresses) {
    const auto answer = answers.find(address);
    if (unknownTo && answer != answers.end() && answer->second == Status::kUnknownFunction) {
      unknownTo->push_back(address);
      continue;
    }
    const std::uint8_t result = answer == answers.end() ? kResultNoAnswer : ResultOf(answer->second);
    panels_[address] = result;
    worst = Worse(worst, result);
  }
  if (result_ == kResultOk) result_ = worst;
  return Reaches(StillReached(reached)) ? kResultOk : result_;
}

// Nobody answers a broadcast, so nobody can ask for it again: it goes out
// several times instead, and a panel that takes every copy is unharmed.
std::uint8_t HostLink::SendBroadcast(const std::vector<std::uint8_t>& frame) {
  for (int copy = 0; copy < std::max(timing_.broadcastCopies, 1); ++copy) {
    if (copy > 0 && Cancelled()) return result_;
    if (!line_->WriteAll(frame, LineMs(frame.size()) + 1000)) return Fail(kResultLineCut);
    line_->Drain(LineMs(frame.size()) + 1000);
    std::this_thread::sleep_for(std::chrono::milliseconds(timing_.broadcastGapMs));
  }
  return kResultOk;
}

// Each panel answers in its own slot, in address order: the first within
// firstAnswerMs after the frame has gone out, each further one within
// nextAnswerMs (and its reply's line time) after the slot before it ended,
// by a reply or by running out. A reply from further down the list ends the
// slots of the silent panels before it; one from a panel before, from
// another panel, to another command or damaged is passed over.
bool HostLink::AwaitReplies(const Command& command, std::size_t frameBytes, std::map<std::uint8_t, Status>& answers) {
  const std::vector<std::uint8_t>& expected = command.to.addresses;
  const auto slotLength = std::chrono::milliseconds(LineMs(kReplyBytes) + timing_.nextAnswerMs);
  auto slotEnd = Clock::now() + std::chrono::milliseconds(LineMs(frameBytes) + timing_.firstAnswerMs);
  std::size_t slot = 0;
  ReplyDecoder decoder;
  std::uint8_t buffer[256];
  while (slot < expected.size()) {
    const ReadResult read = line_->Read(buffer, MillisecondsUntil(slotEnd));
    if (read.status == ReadStatus::Closed) return false;
    decoder.Feed(std::span(buffer, read.count), [&](const Reply& reply) {
      if (reply.function != command.function || reply.sequence != command.sequence) return;
      const auto at = std::find(expected.begin() + std::ptrdiff_t(slot), expected.end(), reply.address);
      if (at == expected.end()) return;
      answers[reply.address] = reply.status;
      slot = std::size_t(at - expected.begin()) + 1;
      slotEnd = Clock::now() + slotLength;
    });
    // A slot that ran out passes to the next panel, also while bytes keep
    // coming: a line that never falls quiet cannot stretch the wait.
    if (Clock::now() >= slotEnd) {
      ++slot;
      slotEnd += slotLength;
    }
  }
  return true;
}

std::uint8_t HostLink::SendPicture(const Addressing& to, const Bitmap32& picture, std::uint8_t colourFlags) {
  if (picture.Width() <= 0 || picture.Height() <= 0) return Fail(kResultPictureUnreadable);
  if (picture.Width() > 0xFFFF || picture.Height() > 0xFFFF) return Fail(kResultTooLarge);
  const std::vector<std::uint8_t> planes = PackPlanes(picture, colourFlags);
  const PictureHeader header{std::uint16_t(picture.Width()), std::uint16_t(picture.Height()), colourFlags,
                             kPlaneCount};
  if (Send(to, Function::kPictureBegin, EncodePictureHeader(header))) return result_;

  // Panels that do not know packed data refuse the first packed command;
  // from there on they get the rest of the planes plain, after the others.
  const bool packed = packed_ == PackedPictures::kEveryPanel ||
                      (packed_ == PackedPictures::kAddressed && to.mode != kModeBroadcast);
  Addressing packers = to;
  Addressing plainOnly{to.mode, {}};
  std::size_t plainFrom = 0;
  bool askedForPacked = false;
  for (const PictureDataFrame& frame : PlanPictureData(planes, 0, packed)) {
    if (frame.function == Function::kPictureDataPacked && !askedForPacked) {
      askedForPacked = true;
      Send(packers, frame.function, frame.payload, &plainOnly.addresses);
      std::erase_if(packers.addresses, [&](std::uint8_t a) { return std::ranges::count(plainOnly.addresses, a) > 0; });
      plainFrom = frame.offset;
    } else {
      Send(packers, frame.function, frame.payload);
    }
    if (!Reaches(StillReached(to))) return result_;
  }
  if (!plainOnly.addresses.empty()) {
    for (const PictureDataFrame& frame : PlanPictureData(planes, plainFrom, false)) {
      Send(plainOnly, frame.function, frame.payload);
      if (!Reaches(StillReached(to))) return result_;
    }
  }
  Send(to, Function::kPictureEnd, EncodeU32(std::uint32_t(planes.size())));
  return result_;
}

}  // namespace lumetra::protocol
