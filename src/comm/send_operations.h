#pragma once
// The transfers to the panels as calls of the display libraries, in their
// fixed order with their pauses: clear, parameters, picture and clock, and
// the three sequences the user starts (full send, clock, apply of the play
// modes). Each operation yields a result byte, 0 for success.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>

#include "comm/address_list.h"
#include "comm/display_library.h"
#include "comm/send_data.h"
#include "comm/send_dialog_model.h"
#include "platform/types.h"

namespace lumetra {

class CTessaraDoc;

// Results the program itself produces.
inline constexpr int kResultLibraryMissing = 1;
inline constexpr int kResultUnknownController = 2;
inline constexpr int kResultClearMissing = 32;

// Where a transfer goes: what the send dialog chose.
struct SendDestination {
  std::string port;  // "COM1".."COM4"
  std::uint8_t mode = kAddressModeSingle;
  AddressTable table{};
  int controllerType = kControllerMova;
};

// Waits the given number of milliseconds; tests pass one that does not sleep.
using Pause = std::function<void(int milliseconds)>;

// The steps of a transfer, for showing its progress.
enum class SendStep { kClear, kParameters, kPicture, kClock, kPause };
// Hears of each step as it starts; a pause comes with its length.
using StepObserver = std::function<void(SendStep step, int milliseconds)>;
// "Sending the picture", "Waiting 500 ms", ... for showing a step.
std::string SendStepText(SendStep step, int milliseconds);

// Writes the document's picture as a BMP file for the libraries to read;
// false when the picture cannot be made, FileError when the file cannot be
// written. The editor draws on its own thread, so it passes one that does.
using PictureWriter = std::function<bool(CTessaraDoc& doc, const std::filesystem::path& path, CPoint origin)>;

class SendOperations {
 public:
  // The libraries are not owned and may be null (not loaded). `console`
  // receives the message of a missing clear library.
  SendOperations(const DisplayLibrary* driver, const DisplayLibrary* panel, Pause pause, std::ostream& console);

  void SetStepObserver(StepObserver observer);
  void SetPictureWriter(PictureWriter writer);

  int Clear(int controllerType) const;
  int SendParameters(const SendDestination& to, const ParameterBlock& block) const;
  // Writes the document's picture to a temporary BMP file, has the library
  // read it and send it, and removes the file.
  int SendPicture(const SendDestination& to, CTessaraDoc& doc, std::uint8_t colourFlags, CPoint origin = {}) const;
  // Always through the driver library, whatever the controller type.
  int SendClock(const SendDestination& to, const ClockBytes& clock) const;

  // "Send picture to device": clear and parameters, 500 ms, the picture,
  // and with `refreshClock` 5000 ms and the clock; the first failure ends it.
  int SendEverything(const SendDestination& to, CTessaraDoc& doc, const ParameterBlock& block,
                     std::uint8_t colourFlags, bool refreshClock, CPoint origin = {}) const;
  // "Apply" of the play modes: the parameters, then with `refreshClock`
  // 500 ms and the clock (also after failed parameters); the sum of the codes.
  int ApplyParameters(const SendDestination& to, const ParameterBlock& block, bool refreshClock) const;

 private:
  void Notify(SendStep step, int milliseconds = 0) const;
  void Wait(int milliseconds) const;

  const DisplayLibrary* driver_;
  const DisplayLibrary* panel_;
  Pause pause_;
  std::ostream& console_;
  StepObserver observer_;
  PictureWriter writePicture_;
};

}  // namespace lumetra
