#include "driver/display_transfers.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/gdi/bmp_file.h"
#include "protocol/host_link.h"
#include "protocol/messages.h"

namespace lumetra::driver {

using namespace lumetra::protocol;

namespace {

bool HasSize(const Bitmap32& picture, std::optional<CSize> size) {
  return !size || (picture.Width() == size->cx && picture.Height() == size->cy);
}

}  // namespace

std::uint8_t DisplayTransfers::ReadPicture(const char* path, std::optional<CSize> expectedSize) {
  std::lock_guard lock(mutex_);
  picture_.reset();
  if (!path) return kResultPictureUnreadable;
  std::optional<Bitmap32> picture = ReadBmpPicture(path);
  if (!picture || !HasSize(*picture, expectedSize)) return kResultPictureUnreadable;
  picture_ = std::move(picture);
  return kResultOk;
}

void DisplayTransfers::ClearBuffer() {
  std::lock_guard lock(mutex_);
  picture_.reset();
  clearPending_ = true;
}

template <class Check, class Transfer>
std::uint8_t DisplayTransfers::WithLink(const Target& to, Check&& check, Transfer&& transfer) {
  std::lock_guard lock(mutex_);
  // The clear belongs to this transfer alone: were it kept after a failure,
  // a later parameters-only send would erase the panels' picture.
  const bool clear = std::exchange(clearPending_, false);
  panelResults_.fill(kPanelNotAddressed);
  panelCount_ = 0;
  portDevice_.clear();
  portError_ = 0;
  const std::optional<Addressing> addressing = AddressingFromTable(std::uint8_t(to.mode), to.table);
  if (!addressing) return kResultPortUnavailable;

  HostLink link;
  link.SetCancelFlag(&cancelled_);
  std::uint8_t result = cancelled_ ? kResultCancelled : check();
  if (result == kResultOk && link.Open(to.port) != kResultOk) {
    portDevice_ = link.Device();
    portError_ = link.OpenError();
  } else if (result == kResultOk && (!clear || link.Send(*addressing, Function::kClear, {}) == kResultOk)) {
    transfer(link, *addressing);
  }
  if (result == kResultOk) result = link.Result();
  // A panel no command reached shares the call's result.
  for (std::uint8_t address : addressing->addresses) {
    const auto found = link.PanelResults().find(address);
    panelResults_[address] = found == link.PanelResults().end() ? result : found->second;
  }
  panelCount_ = std::int32_t(addressing->addresses.size());
  return result;
}

std::uint8_t DisplayTransfers::SendBytes(const Target& to, Function function, const std::uint8_t* bytes,
                                         std::int32_t length) {
  const auto check = [&] {
    if (length < 0 || std::size_t(length) > kMaxPayload) return kResultTooLarge;
    return !bytes && length > 0 ? kResultPortUnavailable : kResultOk;
  };
  return WithLink(to, check, [&](HostLink& link, const Addressing& addressing) {
    link.Send(addressing, function, std::span(bytes, std::size_t(length)));
  });
}

std::uint8_t DisplayTransfers::SendFunctionNumber(const Target& to, std::int32_t number) {
  const std::uint8_t payload = std::uint8_t(number);
  return WithLink(
      to, [] { return kResultOk; },
      [&](HostLink& link, const Addressing& addressing) {
        link.Send(addressing, Function::kFunctionNumber, std::span(&payload, 1));
      });
}

std::uint8_t DisplayTransfers::SendPicture(const Target& to, std::int32_t colourFlags,
                                           std::optional<CSize> expectedSize) {
  // Without a picture the line is not touched at all.
  const auto check = [&] {
    return picture_ && HasSize(*picture_, expectedSize) ? kResultOk : kResultPictureUnreadable;
  };
  return WithLink(to, check, [&](HostLink& link, const Addressing& addressing) {
    link.SendPicture(addressing, *picture_, std::uint8_t(colourFlags));
  });
}

std::int32_t DisplayTransfers::PanelResults(std::uint8_t* results) {
  std::lock_guard lock(mutex_);
  if (results) std::copy(panelResults_.begin(), panelResults_.end(), results);
  return panelCount_;
}

std::int32_t DisplayTransfers::PortError(char* device, std::int32_t deviceSize) {
  std::lock_guard lock(mutex_);
  if (device && deviceSize > 0) {
    const std::size_t length = std::min(portDevice_.size(), std::size_t(deviceSize) - 1);
    std::memcpy(device, portDevice_.data(), length);
    device[length] = '\0';
  }
  return portError_;
}

}  // namespace lumetra::driver
