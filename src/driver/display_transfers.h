#pragma once
// What both display libraries do behind their exports: keep the picture
// read from the BMP file just written, carry each transfer to the panels
// over the port it names, and keep what the last transfer came to for each
// panel and for the port. Every call opens the port and closes it again.

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "platform/gdi/bitmap.h"
#include "protocol/frame.h"
#include "protocol/library_exports.h"

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
  // Forgets the picture; the next transfer, whatever becomes of it, first
  // clears the panels' picture.
  void ClearBuffer();

  std::uint8_t SendBytes(const Target& to, protocol::Function function, const std::uint8_t* bytes, std::int32_t length);
  std::uint8_t SendFunctionNumber(const Target& to, std::int32_t number);
  // The picture read last; with `expectedSize` it must have that size.
  std::uint8_t SendPicture(const Target& to, std::int32_t colourFlags,
                           std::optional<CSize> expectedSize = std::nullopt);

  // "DLLPanelResults", "DLLPortError" and "DLLCancel" (protocol/library_exports.h).
  std::int32_t PanelResults(std::uint8_t* results);
  std::int32_t PortError(char* device, std::int32_t deviceSize);
  void Cancel(bool cancel) { cancelled_ = cancel; }

 private:
  // Runs `transfer` over a link to the panels of `to` once `check` (a result
  // byte) allowed it, the line untouched otherwise; records each panel's result.
  template <class Check, class Transfer>
  std::uint8_t WithLink(const Target& to, Check&& check, Transfer&& transfer);

  std::mutex mutex_;
  std::atomic<bool> cancelled_{false};  // read by the transfer under way, without the mutex
  std::optional<Bitmap32> picture_;
  bool clearPending_ = false;
  std::array<std::uint8_t, kPanelResultEntries> panelResults_{};
  std::int32_t panelCount_ = 0;
  std::string portDevice_;
  int portError_ = 0;
};

}  // namespace lumetra::driver
