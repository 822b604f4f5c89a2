#include "comm/send_operations.h"

#include <filesystem>
#include <ostream>
#include <system_error>

#include "platform/files.h"
#include "platform/local_time.h"
#include "platform/report.h"
#include "view/picture.h"

namespace lumetra {

namespace {
constexpr std::int32_t kFunctionPictureStart = 14;
constexpr std::int32_t kFunctionPictureEnd = 1;
constexpr int kPauseAfterStart = 1000;
constexpr int kPauseAfterPicture = 500;
constexpr int kPauseBeforePicture = 500;
constexpr int kPauseBeforeClock = 5000;
constexpr int kPauseBeforeAppliedClock = 500;
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
  Notify(SendStep::kPause, milliseconds);
  pause_(milliseconds);
}

int SendOperations::Clear(int controllerType) const {
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

int SendOperations::SendParameters(const SendDestination& to, const ParameterBlock& block) const {
  Notify(SendStep::kParameters);
  if (to.controllerType == kControllerMova) {
    auto send = driver_ ? driver_->Export<DllSendKelParasFn>("DLLSendKELParas") : nullptr;
    if (!send) return kResultLibraryMissing;
    return send(to.port.c_str(), 0, to.mode, to.table.data(), std::int32_t(block.size()), block.data());
  }
  auto send = to.controllerType == kControllerMovaOut && panel_ ? panel_->Export<DllSendParasFn>("DLLSendParas")
                                                                : nullptr;
  if (!send) return kResultLibraryMissing;
  return send(to.port.c_str(), 0, to.mode, to.table.data(), block.data());
}

int SendOperations::SendPicture(const SendDestination& to, CTessaraDoc& doc, std::uint8_t colourFlags,
                                CPoint origin) const {
  Notify(SendStep::kPicture);
  std::filesystem::path file;
  try {
    file = MakeTempFileName();
    if (!writePicture_(doc, file, origin)) {
      std::error_code ignored;
      std::filesystem::remove(file, ignored);
      ReportMessage("Save file failed. Please try again later");
      return kResultLibraryMissing;
    }
  } catch (const FileError& error) {
    ReportMessage(error.what());
    return kResultLibraryMissing;
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
  if (to.controllerType == kControllerMova) {
    auto read = driver_ ? driver_->Export<DriverReadBmpFn>("DLLReadBMP") : nullptr;
    auto frame = driver_ ? driver_->Export<DllSendFuncIdFn>("DLLSendFuncID") : nullptr;
    auto send = driver_ ? driver_->Export<DriverSendBmpFn>("DLLSendBMP") : nullptr;
    if (!read || !frame || !send) return kResultLibraryMissing;
    if (int r = read(path.c_str(), 0, size.cx, size.cy)) return r;
    const int started = frame(to.port.c_str(), 0, to.mode, to.table.data(), kFunctionPictureStart);
    Wait(kPauseAfterStart);
    if (started) return started;
    const int sent = send(to.port.c_str(), 0, to.mode, to.table.data(), size.cx, size.cy, colourFlags);
    Wait(kPauseAfterPicture);
    if (sent) return sent;
    return frame(to.port.c_str(), 0, to.mode, to.table.data(), kFunctionPictureEnd);
  }
  auto read = to.controllerType == kControllerMovaOut && panel_ ? panel_->Export<PanelReadBmpFn>("DLLReadBMP")
                                                                : nullptr;
  auto send = to.controllerType == kControllerMovaOut && panel_ ? panel_->Export<PanelSendBmpFn>("DLLSendBMP")
                                                                : nullptr;
  if (!read || !send) return kResultLibraryMissing;
  if (int r = read(path.c_str(), 0)) return r;
  return send(to.port.c_str(), 0, to.mode, to.table.data(), colourFlags);
}

int SendOperations::SendClock(const SendDestination& to, const ClockBytes& clock) const {
  Notify(SendStep::kClock);
  auto send = driver_ ? driver_->Export<DllSendClockFn>("DLLSendClock") : nullptr;
  if (!send) return kResultLibraryMissing;
  return send(to.port.c_str(), 0, to.mode, to.table.data(), std::int32_t(clock.size()), clock.data());
}

int SendOperations::SendEverything(const SendDestination& to, CTessaraDoc& doc, const ParameterBlock& block,
                                   std::uint8_t colourFlags, bool refreshClock, CPoint origin) const {
  if (int r = Clear(to.controllerType) + SendParameters(to, block)) return r;
  Wait(kPauseBeforePicture);
  if (int r = SendPicture(to, doc, colourFlags, origin)) return r;
  if (refreshClock) {
    Wait(kPauseBeforeClock);
    if (int r = SendClock(to, MakeClockBytes(GetLocalTime()))) return r;
  }
  return 0;
}

int SendOperations::ApplyParameters(const SendDestination& to, const ParameterBlock& block,
                                    bool refreshClock) const {
  int result = SendParameters(to, block);
  if (refreshClock) {
    Wait(kPauseBeforeAppliedClock);
    result += SendClock(to, MakeClockBytes(GetLocalTime()));
  }
  return result;
}

}  // namespace lumetra
