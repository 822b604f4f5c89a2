#pragma once
// `lumetra-cli send`, `clock` and `params`: the editor's transfers without a
// window. The options stand for the send dialog's controls; the display
// libraries are the real ones beside the executable.

#include <iosfwd>
#include <string>

namespace lumetra {

class CTessaraDoc;
class Language;

enum class TransferKind { kEverything, kClock, kParameters };

struct TransferRequest {
  TransferKind kind = TransferKind::kEverything;
  std::string port = "COM1";      // "COM1".."COM4", a device path or "tcp://HOST:PORT"
  int baud = 0;                   // the line's rate; 0: the port's own
  std::string address = "1";      // the address text, as typed in the dialog
  bool broadcast = false;
  std::string controller = "MOVA";  // or "MOVA_OUT"
  bool reverseColour = false;
  bool refreshTimer = true;
  double pauseScale = 1.0;        // every pause is multiplied by this
  bool json = false;              // the outcome as one JSON object, without the steps' lines
};

inline constexpr int kTransferFailedExit = 3;
// SIGINT or SIGTERM cancelled the transfer.
inline constexpr int kTransferCancelledExit = 130;

// Runs the transfer, printing each step, which panels answered each step
// (for a single address or a list) and the result text in the current
// language to `out`, or with `json` one object with all of it; returns 0
// on success (a broadcast, which no panel confirms, included) and
// kTransferFailedExit when the transfer failed or was refused, and
// kTransferCancelledExit when SIGINT or SIGTERM cancelled it (the transfer
// stops at the next frame). `doc` is needed except for the clock. Throws
// std::invalid_argument with the message to show for a choice the dialog
// would refuse (an address text that is not valid, an unknown port or controller).
int RunTransfer(const TransferRequest& request, CTessaraDoc* doc, const Language& language, std::ostream& out);

}  // namespace lumetra
