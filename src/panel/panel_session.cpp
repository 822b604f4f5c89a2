#include "panel/panel_session.h"

#include <algorithm>

#include "protocol/messages.h"
#include "protocol/plane_code.h"

namespace lumetra::panel {

using protocol::Function;
using protocol::Status;

PanelSession::PanelSession(std::vector<std::uint8_t> addresses, Faults faults) : faults_(faults) {
  std::sort(addresses.begin(), addresses.end());
  addresses.erase(std::unique(addresses.begin(), addresses.end()), addresses.end());
  addresses_ = std::move(addresses);
  for (std::uint8_t address : addresses_) panels_[address];
}

void PanelSession::Receive(std::span<const std::uint8_t> bytes, const ReplySink& sendReply,
                           const FrameListener& onFrame) {
  const auto dropped = std::min<std::size_t>(bytes.size(), std::size_t(std::max(faults_.droppedBytes, 0)));
  faults_.droppedBytes -= int(dropped);
  decoder_.Feed(bytes.subspan(dropped), [&](const protocol::Command& command) { Handle(command, sendReply, onFrame); });
}

void PanelSession::LineIdle(const ReplySink& sendReply, const FrameListener& onFrame) {
  decoder_.LineIdle([&](const protocol::Command& command) { Handle(command, sendReply, onFrame); });
}

std::vector<std::uint8_t> PanelSession::Receive(std::span<const std::uint8_t> bytes, const FrameListener& onFrame) {
  std::vector<std::uint8_t> out;
  Receive(bytes, [&](std::span<const std::uint8_t> reply) { out.insert(out.end(), reply.begin(), reply.end()); },
          onFrame);
  return out;
}

std::vector<std::uint8_t> PanelSession::LineIdle(const FrameListener& onFrame) {
  std::vector<std::uint8_t> out;
  LineIdle([&](std::span<const std::uint8_t> reply) { out.insert(out.end(), reply.begin(), reply.end()); }, onFrame);
  return out;
}

void PanelSession::Handle(const protocol::Command& command, const ReplySink& sendReply, const FrameListener& onFrame) {
  FrameEvent event{command, false, {}, {}};
  if (faults_.damagedFrames > 0) {
    --faults_.damagedFrames;
    event.damaged = true;
  } else if (!faults_.silent) {
    // Panels answer in ascending address order, each in its slot, so a dead
    // panel does not silence the ones after it; nobody answers a broadcast.
    for (auto& [address, panel] : panels_) {
      if (!command.to.Includes(address) || std::ranges::count(faults_.silentAddresses, address) > 0) continue;
      bool changed = false;
      const bool olderPanel = command.function == Function::kPictureDataPacked &&
                              std::ranges::count(faults_.withoutPackedData, address) > 0;
      const Status status = faults_.answerError ? Status::kPanelFault
                            : olderPanel        ? Status::kUnknownFunction
                                                : Apply(panel, command, changed);
      if (changed) event.changed.push_back(address);
      if (command.to.mode == protocol::kModeBroadcast) continue;
      const protocol::Reply reply{address, command.function, command.sequence, status};
      event.replies.push_back(reply);
      sendReply(protocol::EncodeReply(reply));
    }
  }
  if (onFrame) onFrame(event);
}

Status PanelSession::Apply(Panel& panel, const protocol::Command& command, bool& changed) {
  const std::span<const std::uint8_t> payload = command.payload;
  PanelState& state = panel.state;
  switch (command.function) {
    case Function::kClear:
      if (!payload.empty()) return Status::kBadPayload;
      changed = state.picture.has_value();
      state.picture.reset();
      panel.incoming = {};
      return Status::kOk;
    case Function::kParameters:
      if (payload.size() != kParameterBytes) return Status::kBadPayload;
      state.parameters.emplace();
      std::copy(payload.begin(), payload.end(), state.parameters->begin());
      changed = true;
      return Status::kOk;
    case Function::kClock: {
      const std::optional<LocalTime> time = protocol::DecodeClock(payload);
      if (!time) return Status::kBadPayload;
      state.clock.emplace();
      std::copy(payload.begin(), payload.end(), state.clock->bytes.begin());
      state.clock->time = *time;
      changed = true;
      return Status::kOk;
    }
    case Function::kFunctionNumber:
      if (payload.size() != 1) return Status::kBadPayload;
      if (payload[0] == protocol::kFunctionPrepareForPicture) {
        panel.incoming = {};
        return Status::kOk;
      }
      if (payload[0] == protocol::kFunctionShowPicture) {
        // The show starts again from its beginning.
        changed = true;
        return Status::kOk;
      }
      return Status::kBadPayload;
    case Function::kPictureBegin:
      return BeginPicture(panel, payload);
    case Function::kPictureData:
      return TakePictureData(panel, payload);
    case Function::kPictureEnd:
      return EndPicture(panel, payload, changed);
    case Function::kPictureDataPacked:
      return TakePackedPictureData(panel, payload);
  }
  return Status::kUnknownFunction;
}

Status PanelSession::BeginPicture(Panel& panel, std::span<const std::uint8_t> payload) {
  const std::optional<protocol::PictureHeader> header = protocol::DecodePictureHeader(payload);
  if (!header || header->width == 0 || header->height == 0 || header->planes != protocol::kPlaneCount) {
    return Status::kBadPayload;
  }
  const std::size_t size = protocol::PlaneBytes(header->width, header->height);
  if (size > kPanelMemoryBytes) return Status::kTooLarge;
  panel.incoming = Incoming{*header, std::vector<std::uint8_t>(size, 0), 0, true};
  return Status::kOk;
}

// A piece sent again (its answer was lost) may overlap what arrived; a gap may not.
Status PanelSession::CheckDataRange(const Incoming& in, std::size_t offset, std::size_t count) {
  if (!in.begun || offset > in.received) return Status::kOutOfOrder;
  if (count > in.planes.size() - offset) return Status::kBadPayload;
  return Status::kOk;
}

Status PanelSession::TakePictureData(Panel& panel, std::span<const std::uint8_t> payload) {
  const std::optional<protocol::PictureData> data = protocol::DecodePictureData(payload);
  if (!data) return Status::kBadPayload;
  Incoming& in = panel.incoming;
  if (const Status status = CheckDataRange(in, data->offset, data->bytes.size()); status != Status::kOk) return status;
  std::copy(data->bytes.begin(), data->bytes.end(), in.planes.begin() + data->offset);
  in.received = std::max(in.received, data->offset + data->bytes.size());
  return Status::kOk;
}

Status PanelSession::TakePackedPictureData(Panel& panel, std::span<const std::uint8_t> payload) {
  const std::optional<protocol::PackedPictureData> data = protocol::DecodePackedPictureData(payload);
  if (!data) return Status::kBadPayload;
  Incoming& in = panel.incoming;
  if (const Status status = CheckDataRange(in, data->offset, data->count); status != Status::kOk) return status;
  if (!protocol::UnpackPlaneCode(data->code, in.planes, data->offset, data->count)) return Status::kBadPayload;
  in.received = std::max(in.received, std::size_t(data->offset) + data->count);
  return Status::kOk;
}

Status PanelSession::EndPicture(Panel& panel, std::span<const std::uint8_t> payload, bool& changed) {
  const std::optional<std::uint32_t> total = protocol::DecodeU32(payload);
  if (!total) return Status::kBadPayload;
  Incoming& in = panel.incoming;
  if (!in.begun || *total != in.planes.size() || in.received != in.planes.size()) return Status::kOutOfOrder;
  PanelPicture picture{in.header.width, in.header.height, in.header.colourFlags,
                       protocol::UnpackPlanes(in.planes, in.header.width, in.header.height)};
  changed = true;
  panel.state.picture = std::move(picture);
  return Status::kOk;
}

std::string FunctionName(Function function) {
  switch (function) {
    case Function::kClear:
      return "clear";
    case Function::kParameters:
      return "parameters";
    case Function::kClock:
      return "clock";
    case Function::kFunctionNumber:
      return "function";
    case Function::kPictureBegin:
      return "picture begin";
    case Function::kPictureData:
      return "picture data";
    case Function::kPictureEnd:
      return "picture end";
    case Function::kPictureDataPacked:
      return "packed picture data";
  }
  return "unknown";
}

std::string ModeName(std::uint8_t mode) {
  switch (mode) {
    case protocol::kModeSingle:
      return "single";
    case protocol::kModeList:
      return "list";
    case protocol::kModeBroadcast:
      return "broadcast";
    default:
      return "unknown";
  }
}

std::string StatusName(Status status) {
  switch (status) {
    case Status::kOk:
      return "ok";
    case Status::kBadPayload:
      return "bad payload";
    case Status::kTooLarge:
      return "too large";
    case Status::kOutOfOrder:
      return "out of order";
    case Status::kPanelFault:
      return "panel fault";
    case Status::kUnknownFunction:
      return "unknown function";
  }
  return "unknown";
}

}  // namespace lumetra::panel
