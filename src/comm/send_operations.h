#pragma once
// The transfers to the panels as calls of the display libraries, in their
// fixed order with their pauses: clear, parameters, picture and clock, and
// the three sequences the user starts (full send, clock, apply of the play
// modes). Each operation yields a result byte, 0 for success. When a call
// fails for some panels of a list only, and the library says which panels
// took it, the sequence goes on with those; what each step came to for each
// panel, and why a port could not be opened, is kept for the report.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "comm/address_list.h"
#include "comm/cancel_flag.h"
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
// Results of the libraries that the program reads more into.
inline constexpr int kResultPortUnavailable = 1;  // the port cannot be opened (DLLPortError says why)
inline constexpr int kResultNoAnswer = 2;         // a panel did not answer
// The user cancelled: nothing more was sent (the libraries' own byte for it too).
inline constexpr int kResultCancelled = 48;

// Where a transfer goes: what the send dialog chose.
struct SendDestination {
  std::string port;  // "COM1".."COM4"
  std::uint8_t mode = kAddressModeSingle;
  AddressTable table{};
  int controllerType = kControllerMova;
};

// Waits the given number of milliseconds; tests pass one that does not sleep.
// A pause should end early when the transfer's CancelFlag is raised.
using Pause = std::function<void(int milliseconds)>;

// The steps of a transfer, for showing its progress.
enum class SendStep { kClear, kParameters, kPicture, kClock, kPause };
// Hears of each step as it starts; a pause comes with its length.
using StepObserver = std::function<void(SendStep step, int milliseconds)>;
// "Sending the picture", "Waiting 500 ms", ... for showing a step.
std::string SendStepText(SendStep step, int milliseconds);

// How the panels of a single address or a list fared in one step, as the
// library reported it: those that took every call of the step, and those
// that failed it with their result codes, both by ascending address.
struct PanelStepResult {
  SendStep step = SendStep::kParameters;
  std::vector<std::uint8_t> answered;
  std::vector<std::pair<std::uint8_t, int>> failed;
};

// A port that could not be opened: its name, the device it stands for and
// the errno of the attempt.
struct PortFailure {
  std::string port;
  std::string device;
  int error = 0;
};

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
  // The flag Cancel raises; it must outlive the operations.
  void SetCancelFlag(CancelFlag* flag) { cancel_ = flag; }
  // From any thread: the sequence under way stops at the next frame, sends
  // nothing more and ends with kResultCancelled. Needs a cancel flag.
  void Cancel();

  int Clear(int controllerType);
  // Writes the document's picture to a temporary BMP file, has the library
  // read it and send it, and removes the file.
  int SendPicture(const SendDestination& to, CTessaraDoc& doc, std::uint8_t colourFlags, CPoint origin = {});
  // Always through the driver library, whatever the controller type.
  int SendClock(const SendDestination& to, const ClockBytes& clock);

  // "Send picture to device": clear and parameters, 500 ms, the picture,
  // and with `refreshClock` 5000 ms and the clock; a failure ends it unless
  // some panels of the list took the step, and the result is the first failure.
  int SendEverything(const SendDestination& to, CTessaraDoc& doc, const ParameterBlock& block,
                     std::uint8_t colourFlags, bool refreshClock, CPoint origin = {});
  // "Apply" of the play modes: the parameters, then with `refreshClock`
  // 500 ms and the clock (to the panels that took the parameters, or to all
  // when none did); the sum of the codes.
  int ApplyParameters(const SendDestination& to, const ParameterBlock& block, bool refreshClock);

  // Per step that named panels, in the order sent, what became of them.
  const std::vector<PanelStepResult>& PanelResults() const { return panelResults_; }
  // The first port that could not be opened, when the library said why.
  const std::optional<PortFailure>& PortFailed() const { return portFailure_; }

 private:
  // The panels a sequence still goes to: `lost` once a call failed for all
  // of them, or failed and the library could not say for which.
  struct Reach {
    SendDestination to;
    bool lost = false;
  };
  // Each step goes to the panels of `reach`, records what became of them,
  // and yields its first failure.
  int ParametersStep(Reach& reach, const ParameterBlock& block);
  int PictureStep(Reach& reach, CTessaraDoc& doc, std::uint8_t colourFlags, CPoint origin);
  int ClockStep(Reach& reach, const ClockBytes& clock);
  // After a call of `library` to the panels of `reach` that yielded
  // `result`: the library's word on each panel goes into `record`, and on a
  // failure only the panels that took the call stay in `reach`.
  int Called(const DisplayLibrary* library, int result, Reach& reach, PanelStepResult& record);
  void Keep(PanelStepResult record);
  void NotePortFailure(const DisplayLibrary* library, const std::string& port);
  void Notify(SendStep step, int milliseconds = 0) const;
  void Wait(int milliseconds) const;
  bool Cancelled() const { return cancel_ && cancel_->IsRaised(); }
  // A sequence's result: a failure after a cancel is the cancel.
  int Finished(int result) const { return result != 0 && Cancelled() ? kResultCancelled : result; }
  // Each sequence starts with the libraries ready to send, unless it is cancelled already.
  void Begin() const;
  // Tells both libraries of a cancel (true) or that it is over (false).
  void TellLibraries(bool cancel) const;

  const DisplayLibrary* driver_;
  const DisplayLibrary* panel_;
  Pause pause_;
  std::ostream& console_;
  StepObserver observer_;
  PictureWriter writePicture_;
  std::vector<PanelStepResult> panelResults_;
  std::optional<PortFailure> portFailure_;
  CancelFlag* cancel_ = nullptr;
};

}  // namespace lumetra
