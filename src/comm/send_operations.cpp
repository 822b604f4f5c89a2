#include "comm/send_operations.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "platform/files.h"
#include "platform/local_time.h"
#include "platform/report.h"
#include "render/picture.h"

namespace lumetra {

namespace {
constexpr std::int32_t kFunctionPictureStart = 14;
constexpr std::int32_t kFunctionPictureEnd = 1;
constexpr int kPauseAfterStart = 1000;
constexpr int kPauseAfterPicture = 500;
constexpr int kPauseBeforePicture = 500;
constexpr int kPauseBeforeClock = 5000;
constexpr int kPauseBeforeAppliedClock = 500;

int FirstFailure(int earlier, int later) { return earlier ? earlier : later; }
}  // namespace

SendOperations::SendOperations(const DisplayLibrary* driver, const DisplayLibrary* panel, Pause pause,
                               std::ostream& console)
    : driver_(driver), panel_(panel), pause_(std::move(pause)), console_(console), writePicture_(WritePicture) {}

std::string SendStepText(SendStep step, int milliseconds) {
  switch (step) {
    case SendStep::kClear:
      return "Clearing the panels' picture";
    case SendStep::kParameters:
      return "Sending the parameters";
    case SendStep::kPicture:
      return "Sending the picture";
    case SendStep::kClock:
      return "Sending the clock";
    case SendStep::kPause:
      return "Waiting " + std::to_string(milliseconds) + " ms";
  }
  return {};
}

void SendOperations::SetPictureWriter(PictureWriter writer) { writePicture_ = std::move(writer); }

void SendOperations::SetStepObserver(StepObserver observer) { observer_ = std::move(observer); }

void SendOperations::Notify(SendStep step, int milliseconds) const {
  if (observer_) observer_(step, milliseconds);
}

void SendOperations::Wait(int milliseconds) const {
  if (Cancelled()) return;
  Notify(SendStep::kPause, milliseconds);
  pause_(milliseconds);
}

void SendOperations::Cancel() {
  if (!cancel_) return;
  cancel_->Raise();
  TellLibraries(true);
}

void SendOperations::Begin() const {
  if (!Cancelled()) TellLibraries(false);
}

void SendOperations::TellLibraries(bool cancel) const {
  for (const DisplayLibrary* library : {driver_, panel_}) {
    if (auto tell = library ? library->Export<DllCancelFn>("DLLCancel") : nullptr) tell(cancel ? 1 : 0);
  }
}

int SendOperations::Clear(int controllerType) {
  // The driver library needs no clear, so none is shown.
  if (controllerType == kControllerMova) return 0;
  if (controllerType != kControllerMovaOut) return kResultUnknownController;
  Notify(SendStep::kClear);
  auto clear = panel_ ? panel_->Export<DllClrBufferFn>("DLLClrBuffer") : nullptr;
  if (!clear) {
    console_ << "LoadLibrary Error!\n" << std::flush;
    return kResultClearMissing;
  }
  return clear();
}

int SendOperations::Called(const DisplayLibrary* library, int result, Reach& reach, PanelStepResult& record) {
  if (result == kResultPortUnavailable) NotePortFailure(library, reach.to.port);
  auto panelResults = library ? library->Export<DllPanelResultsFn>("DLLPanelResults") : nullptr;
  if (!panelResults) {
    reach.lost = result != 0;
    return result;
  }
  std::array<std::uint8_t, kPanelResultEntries> results;
  results.fill(kPanelNotAddressed);
  panelResults(results.data());
  record.answered.clear();
  for (std::size_t address = 0; address < results.size(); ++address) {
    if (results[address] == 0) {
      record.answered.push_back(std::uint8_t(address));
    } else if (results[address] != kPanelNotAddressed) {
      record.failed.emplace_back(std::uint8_t(address), results[address]);
    }
  }
  if (result != 0) {
    reach.lost = record.answered.empty();
    if (!reach.lost) reach.to.table = AddressTableOf(record.answered);
  }
  return result;
}

void SendOperations::Keep(PanelStepResult record) {
  if (record.answered.empty() && record.failed.empty()) return;
  std::sort(record.failed.begin(), record.failed.end());
  panelResults_.push_back(std::move(record));
}

void SendOperations::NotePortFailure(const DisplayLibrary* library, const std::string& port) {
  auto portError = library ? library->Export<DllPortErrorFn>("DLLPortError") : nullptr;
  if (portFailure_ || !portError) return;
  char device[512] = {};
  if (const int error = portError(device, std::int32_t(sizeof device))) portFailure_ = PortFailure{port, device, error};
}

int SendOperations::ParametersStep(Reach& reach, const ParameterBlock& block) {
  if (Cancelled()) {
    reach.lost = true;
    return kResultCancelled;
  }
  Notify(SendStep::kParameters);
  const SendDestination& to = reach.to;
  PanelStepResult record{SendStep::kParameters, {}, {}};
  int result = kResultLibraryMissing;
  auto sendKel =
      to.controllerType == kControllerMova && driver_ ? driver_->Export<DllSendKelParasFn>("DLLSendKELParas") : nullptr;
  auto send =
      to.controllerType == kControllerMovaOut && panel_ ? panel_->Export<DllSendParasFn>("DLLSendParas") : nullptr;
  if (sendKel) {
    result =
        Called(driver_, sendKel(to.port.c_str(), 0, to.mode, to.table.data(), std::int32_t(block.size()), block.data()),
               reach, record);
  } else if (send) {
    result = Called(panel_, send(to.port.c_str(), 0, to.mode, to.table.data(), block.data()), reach, record);
  } else {
    reach.lost = true;
  }
  Keep(std::move(record));
  return result;
}

int SendOperations::PictureStep(Reach& reach, CTessaraDoc& doc, std::uint8_t colourFlags, CPoint origin) {
  const auto stop = [&reach](int result) {
    reach.lost = true;
    return result;
  };
  if (Cancelled()) return stop(kResultCancelled);
  Notify(SendStep::kPicture);
  std::filesystem::path file;
  try {
    file = MakeTempFileName();
    if (!writePicture_(doc, file, origin)) {
      std::error_code ignored;
      std::filesystem::remove(file, ignored);
      ReportMessage("Save file failed. Please try again later");
      return stop(kResultLibraryMissing);
    }
  } catch (const FileError& error) {
    ReportMessage(error.what());
    return stop(kResultLibraryMissing);
  }
  // The libraries read the file during the calls; it is not needed afterwards.
  struct RemoveAfterwards {
    const std::filesystem::path& path;
    ~RemoveAfterwards() {
      std::error_code ignored;
      std::filesystem::remove(path, ignored);
    }
  } cleanup{file};

  const std::string path = file.string();
  const CSize size = SentPictureSize(doc);
  const SendDestination& to = reach.to;
  PanelStepResult record{SendStep::kPicture, {}, {}};
  int result = 0;
  if (to.controllerType == kControllerMova) {
    auto read = driver_ ? driver_->Export<DriverReadBmpFn>("DLLReadBMP") : nullptr;
    auto frame = driver_ ? driver_->Export<DllSendFuncIdFn>("DLLSendFuncID") : nullptr;
    auto send = driver_ ? driver_->Export<DriverSendBmpFn>("DLLSendBMP") : nullptr;
    if (!read || !frame || !send) return stop(kResultLibraryMissing);
    if (int r = read(path.c_str(), 0, size.cx, size.cy)) return stop(r);
    // Each pause follows its call, whatever the call came to.
    result = Called(driver_, frame(to.port.c_str(), 0, to.mode, to.table.data(), kFunctionPictureStart), reach, record);
    Wait(kPauseAfterStart);
    if (!reach.lost && Cancelled()) result = FirstFailure(result, stop(kResultCancelled));
    if (!reach.lost) {
      const int sent = send(to.port.c_str(), 0, to.mode, to.table.data(), size.cx, size.cy, colourFlags);
      result = FirstFailure(result, Called(driver_, sent, reach, record));
      Wait(kPauseAfterPicture);
    }
    if (!reach.lost && Cancelled()) result = FirstFailure(result, stop(kResultCancelled));
    if (!reach.lost) {
      const int ended = frame(to.port.c_str(), 0, to.mode, to.table.data(), kFunctionPictureEnd);
      result = FirstFailure(result, Called(driver_, ended, reach, record));
    }
  } else {
    auto read =
        to.controllerType == kControllerMovaOut && panel_ ? panel_->Export<PanelReadBmpFn>("DLLReadBMP") : nullptr;
    auto send =
        to.controllerType == kControllerMovaOut && panel_ ? panel_->Export<PanelSendBmpFn>("DLLSendBMP") : nullptr;
    if (!read || !send) return stop(kResultLibraryMissing);
    if (int r = read(path.c_str(), 0)) return stop(r);
    result = Called(panel_, send(to.port.c_str(), 0, to.mode, to.table.data(), colourFlags), reach, record);
  }
  Keep(std::move(record));
  return result;
}

int SendOperations::ClockStep(Reach& reach, const ClockBytes& clock) {
  if (Cancelled()) {
    reach.lost = true;
    return kResultCancelled;
  }
  Notify(SendStep::kClock);
  auto send = driver_ ? driver_->Export<DllSendClockFn>("DLLSendClock") : nullptr;
  if (!send) {
    reach.lost = true;
    return kResultLibraryMissing;
  }
  const SendDestination& to = reach.to;
  PanelStepResult record{SendStep::kClock, {}, {}};
  const int result =
      Called(driver_, send(to.port.c_str(), 0, to.mode, to.table.data(), std::int32_t(clock.size()), clock.data()),
             reach, record);
  Keep(std::move(record));
  return result;
}

int SendOperations::SendPicture(const SendDestination& to, CTessaraDoc& doc, std::uint8_t colourFlags, CPoint origin) {
  Begin();
  Reach reach{to};
  return Finished(PictureStep(reach, doc, colourFlags, origin));
}

int SendOperations::SendClock(const SendDestination& to, const ClockBytes& clock) {
  Begin();
  Reach reach{to};
  return Finished(ClockStep(reach, clock));
}

int SendOperations::SendEverything(const SendDestination& to, CTessaraDoc& doc, const ParameterBlock& block,
                                   std::uint8_t colourFlags, bool refreshClock, CPoint origin) {
  Begin();
  Reach reach{to};
  const int cleared = Clear(to.controllerType);
  int result = cleared + ParametersStep(reach, block);
  if (cleared || reach.lost) return Finished(result);
  Wait(kPauseBeforePicture);
  result = FirstFailure(result, PictureStep(reach, doc, colourFlags, origin));
  if (reach.lost || !refreshClock) return Finished(result);
  Wait(kPauseBeforeClock);
  return Finished(FirstFailure(result, ClockStep(reach, MakeClockBytes(GetLocalTime()))));
}

int SendOperations::ApplyParameters(const SendDestination& to, const ParameterBlock& block, bool refreshClock) {
  Begin();
  Reach reach{to};
  int result = ParametersStep(reach, block);
  if (refreshClock) {
    Wait(kPauseBeforeAppliedClock);
    if (reach.lost) reach = Reach{to};
    result += ClockStep(reach, MakeClockBytes(GetLocalTime()));
  }
  return Finished(result);
}

}  // namespace lumetra
