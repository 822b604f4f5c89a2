#include "driver/display_transfers.h"

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

template <class Transfer>
std::uint8_t DisplayTransfers::WithLink(const Target& to, Transfer&& transfer) {
  std::lock_guard lock(mutex_);
  const std::optional<Addressing> addressing = AddressingFromTable(std::uint8_t(to.mode), to.table);
  if (!addressing) return kResultPortUnavailable;
  HostLink link;
  if (std::uint8_t result = link.Open(to.port)) return result;
  if (clearPending_) {
    if (std::uint8_t result = link.Send(*addressing, Function::kClear, {})) return result;
    clearPending_ = false;
  }
  return transfer(link, *addressing);
}

std::uint8_t DisplayTransfers::SendBytes(const Target& to, Function function, const std::uint8_t* bytes,
                                         std::int32_t length) {
  if (length < 0 || std::size_t(length) > kMaxPayload) return kResultTooLarge;
  if (!bytes && length > 0) return kResultPortUnavailable;
  return WithLink(to, [&](HostLink& link, const Addressing& addressing) {
    return link.Send(addressing, function, std::span(bytes, std::size_t(length)));
  });
}

std::uint8_t DisplayTransfers::SendFunctionNumber(const Target& to, std::int32_t number) {
  const std::uint8_t payload = std::uint8_t(number);
  return WithLink(to, [&](HostLink& link, const Addressing& addressing) {
    return link.Send(addressing, Function::kFunctionNumber, std::span(&payload, 1));
  });
}

std::uint8_t DisplayTransfers::SendPicture(const Target& to, std::int32_t colourFlags,
                                           std::optional<CSize> expectedSize) {
  {
    // Without a picture the line is not touched at all.
    std::lock_guard lock(mutex_);
    if (!picture_ || !HasSize(*picture_, expectedSize)) return kResultPictureUnreadable;
  }
  return WithLink(to, [&](HostLink& link, const Addressing& addressing) {
    if (!picture_ || !HasSize(*picture_, expectedSize)) return kResultPictureUnreadable;
    return link.SendPicture(addressing, *picture_, std::uint8_t(colourFlags));
  });
}

}  // namespace lumetra::driver
