#include "cli/send_command.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <thread>

#include "comm/display_library.h"
#include "comm/send_commands.h"
#include "comm/send_data.h"
#include "document/document.h"
#include "lang/language.h"
#include "platform/gdi/bitmap.h"
#include "platform/gdi/dc.h"
#include "view/tessara_view.h"

namespace lumetra {
namespace {

constexpr int kTransferSucceededExit = 0;

// The dialog's controls set from the options, then its "Send".
SendChoice ChooseAsTheDialogWould(const TransferRequest& request, const Language& language) {
  SendDialogModel dialog(request.kind == TransferKind::kClock);
  dialog.m_nPort = -1;
  for (int port = 0; port < kPortCount; ++port) {
    if (request.port == PortName(port)) dialog.m_nPort = port;
  }
  if (dialog.m_nPort < 0) throw std::invalid_argument("unknown port " + request.port + " (COM1..COM4)");
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
// and the clock's frame and row, which drawing the clock writes back.
int ShowAsTheViewWould(CTessaraDoc& doc) {
  CTessaraView view;
  view.SetDocument(&doc);
  view.OnInitialUpdate();
  const CSize size = doc.CanvasPixels();
  Bitmap32 canvas(size.cx, size.cy);
  CDC dc(canvas);
  view.OnDraw(dc);
  return view.m_nClockCount;
}

}  // namespace

int RunTransfer(const TransferRequest& request, CTessaraDoc* doc, const Language& language, std::ostream& out) {
  const SendChoice choice = ChooseAsTheDialogWould(request, language);
  if (request.kind != TransferKind::kClock && !doc) throw std::invalid_argument("a document is needed");

  const std::unique_ptr<DisplayLibrary> driver = LoadDisplayLibrary(kDriverLibraryFile);
  const std::unique_ptr<DisplayLibrary> panel = LoadDisplayLibrary(kPanelLibraryFile);
  const double scale = std::max(request.pauseScale, 0.0);
  SendOperations operations(
      driver.get(), panel.get(),
      [scale](int milliseconds) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::llround(milliseconds * scale)));
      },
      out);
  operations.SetStepObserver(
      [&](SendStep step, int milliseconds) { out << SendStepText(step, milliseconds) << std::endl; });

  int result = 0;
  switch (request.kind) {
    case TransferKind::kEverything: {
      const int clockCount = ShowAsTheViewWould(*doc);
      result = SendPictureToDevice(operations, *doc, PlanTransfer(*doc, clockCount, doc->m_ptViewOrigin, choice));
      break;
    }
    case TransferKind::kClock:
      result = SendClockToDevice(operations, PlanClockTransfer(choice));
      break;
    case TransferKind::kParameters: {
      const int clockCount = ShowAsTheViewWould(*doc);
      doc->m_playMode.CorrectFrameRanges(doc->m_nFrames);
      result = ApplyPlayModes(operations, PlanTransfer(*doc, clockCount, doc->m_ptViewOrigin, choice));
      // Apply names no cause, only that the transfer failed.
      out << language.LookupText(result ? kTransferFailedKey : kTransferSucceededKey) << std::endl;
      return result ? kTransferFailedExit : kTransferSucceededExit;
    }
  }
  out << (result ? ResultCodeMessage(language, result) : language.LookupText(kTransferSucceededKey)) << std::endl;
  return result ? kTransferFailedExit : kTransferSucceededExit;
}

}  // namespace lumetra
