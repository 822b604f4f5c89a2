#pragma once
// What both display libraries do behind their exports: keep the picture
// read from the BMP file just written, and carry each transfer to the panels
// over the port it names. Every call opens the port and closes it again.

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>

#include "platform/gdi/bitmap.h"
#include "protocol/frame.h"

#define LUMETRA_EXPORT extern "C" __attribute__((visibility("default")))

namespace lumetra::driver {

// Where a transfer goes, as the exports receive it.
struct Target {
  const char* port;
  std::int32_t mode;
  const std::uint8_t* table;
};

class DisplayTransfers {
 public:
  // Reads the BMP file; with `expectedSize` its picture must have that size.
  std::uint8_t ReadPicture(const char* path, std::optional<CSize> expectedSize = std::nullopt);
  // Forgets the picture; the next transfer first clears the panels' picture.
  void ClearBuffer();

  std::uint8_t SendBytes(const Target& to, protocol::Function function, const std::uint8_t* bytes,
                         std::int32_t length);
  std::uint8_t SendFunctionNumber(const Target& to, std::int32_t number);
  // The picture read last; with `expectedSize` it must have that size.
  std::uint8_t SendPicture(const Target& to, std::int32_t colourFlags, std::optional<CSize> expectedSize = std::nullopt);

 private:
  template <class Transfer>
  std::uint8_t WithLink(const Target& to, Transfer&& transfer);

  std::mutex mutex_;
  std::optional<Bitmap32> picture_;
  bool clearPending_ = false;
};

}  // namespace lumetra::driver
