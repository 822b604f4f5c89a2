#include "cli/send_command.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "cli/cancel_on_signal.h"
#include "comm/display_library.h"
#include "comm/send_commands.h"
#include "comm/send_data.h"
#include "comm/transfer_report.h"
#include "document/document.h"
#include "lang/language.h"
#include "protocol/port_names.h"
#include "view/tessara_view.h"

namespace lumetra {
namespace {

constexpr int kTransferSucceededExit = 0;

// A port the dialog does not list (a device path, "tcp://HOST:PORT") goes
// to the libraries as it is; nothing for COM1..COM4.
std::optional<std::string> DirectPort(const std::string& port) {
  for (int index = 0; index < kPortCount; ++index) {
    if (port == PortName(index)) return std::nullopt;
  }
  try {
    protocol::ParsePortTarget(port);
  } catch (const protocol::LinkError& error) {
    throw std::invalid_argument(error.what());
  }
  return port;
}

// The dialog's controls set from the options, then its "Send".
SendChoice ChooseAsTheDialogWould(const TransferRequest& request, const Language& language) {
  SendDialogModel dialog(request.kind == TransferKind::kClock);
  dialog.m_nPort = 0;
  for (int port = 0; port < kPortCount; ++port) {
    if (request.port == PortName(port)) dialog.m_nPort = port;
  }
  if (request.controller == "MOVA_OUT") {
    dialog.OnControllerType(kControllerMovaOut);
  } else if (request.controller != "MOVA") {
    throw std::invalid_argument("unknown controller " + request.controller + " (MOVA or MOVA_OUT)");
  }
  if (dialog.RefreshTimerEnabled()) dialog.m_bRefreshTimer = request.refreshTimer;
  if (dialog.ReverseColourEnabled()) dialog.m_bReverseColour = request.reverseColour;
  dialog.m_strAddress = request.address;
  dialog.OnBroadcast(request.broadcast);
  std::optional<SendChoice> choice = dialog.OnSend();
  if (!choice) throw std::invalid_argument(language.LookupText(kInvalidAddressKey));
  return *choice;
}

// What the view knows of a document once it has shown it: its clock count,
// and the clock's frame and row, which the view places when it opens it.
int ShowAsTheViewWould(CTessaraDoc& doc) {
  CTessaraView view;
  view.SetDocument(&doc);
  view.OnInitialUpdate();
  return view.m_nClockCount;
}

const char* StepName(SendStep step) {
  switch (step) {
    case SendStep::kClear:
      return "clear";
    case SendStep::kParameters:
      return "parameters";
    case SendStep::kPicture:
      return "picture";
    case SendStep::kClock:
      return "clock";
    case SendStep::kPause:
      break;
  }
  return "pause";
}

// "picture: answered 1, 2, 4, 5; failed 3 (result 2)".
std::string PanelLine(const PanelStepResult& step) {
  std::string line = std::string(StepName(step.step)) + ": answered " +
                     (step.answered.empty() ? "none" : AddressesText(step.answered));
  for (std::size_t i = 0; i < step.failed.size(); ++i) {
    line += (i == 0 ? "; failed " : ", ") + std::to_string(step.failed[i].first) + " (result " +
            std::to_string(step.failed[i].second) + ")";
  }
  return line;
}

nlohmann::json ReportAsJson(const TransferReport& report, const std::string& message) {
  nlohmann::json steps = nlohmann::json::array();
  for (const PanelStepResult& step : report.panels) {
    nlohmann::json failed = nlohmann::json::array();
    for (const auto& [address, result] : step.failed) failed.push_back({{"address", address}, {"result", result}});
    steps.push_back({{"step", StepName(step.step)}, {"answered", step.answered}, {"failed", failed}});
  }
  return {{"result", report.result}, {"message", message}, {"broadcast", report.broadcast}, {"steps", steps}};
}

}  // namespace

int RunTransfer(const TransferRequest& request, CTessaraDoc* doc, const Language& language, std::ostream& out) {
  const SendChoice choice = ChooseAsTheDialogWould(request, language);
  const std::optional<std::string> directPort = DirectPort(request.port);
  if (request.kind != TransferKind::kClock && !doc) throw std::invalid_argument("a document is needed");
  // The libraries take the rate from the environment, as the port's own would be.
  if (request.baud != 0) ::setenv("LUMETRA_BAUD", std::to_string(request.baud).c_str(), 1);
  const auto planned = [&](TransferPlan plan) {
    if (directPort) plan.to.port = *directPort;
    return plan;
  };

  const std::unique_ptr<DisplayLibrary> driver = LoadDisplayLibrary(kDriverLibraryFile);
  const std::unique_ptr<DisplayLibrary> panel = LoadDisplayLibrary(kPanelLibraryFile);
  const double scale = std::max(request.pauseScale, 0.0);
  CancelFlag cancel;
  // With --json standard output carries the one object and nothing else.
  SendOperations operations(
      driver.get(), panel.get(),
      [scale, &cancel](int milliseconds) {
        cancel.WaitFor(std::chrono::milliseconds(std::llround(milliseconds * scale)));
      },
      request.json ? std::cerr : out);
  operations.SetCancelFlag(&cancel);
  const CancelOnSignal signals([&operations] { operations.Cancel(); });
  if (!request.json) {
    operations.SetStepObserver(
        [&](SendStep step, int milliseconds) { out << SendStepText(step, milliseconds) << std::endl; });
  }

  TransferReport report;
  std::string message;
  switch (request.kind) {
    case TransferKind::kEverything: {
      const int clockCount = ShowAsTheViewWould(*doc);
      report =
          SendPictureToDevice(operations, *doc, planned(PlanTransfer(*doc, clockCount, doc->m_ptViewOrigin, choice)));
      message = TransferMessage(language, report);
      break;
    }
    case TransferKind::kClock:
      report = SendClockToDevice(operations, planned(PlanClockTransfer(choice)));
      message = TransferMessage(language, report);
      break;
    case TransferKind::kParameters: {
      const int clockCount = ShowAsTheViewWould(*doc);
      doc->m_playMode.CorrectFrameRanges(doc->m_nFrames);
      report = ApplyPlayModes(operations, planned(PlanTransfer(*doc, clockCount, doc->m_ptViewOrigin, choice)));
      message = AppliedMessage(language, report);
      break;
    }
  }
  if (request.json) {
    out << ReportAsJson(report, message).dump(2) << std::endl;
  } else {
    for (const PanelStepResult& step : report.panels) out << PanelLine(step) << '\n';
    out << message << std::endl;
  }
  if (signals.Cancelled() && report.result == kResultCancelled) return kTransferCancelledExit;
  return report.Failed() ? kTransferFailedExit : kTransferSucceededExit;
}

}  // namespace lumetra
