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
  std::string port = "COM1";      // "COM1".."COM4"
  std::string address = "1";      // the address text, as typed in the dialog
  bool broadcast = false;
  std::string controller = "MOVA";  // or "MOVA_OUT"
  bool reverseColour = false;
  bool refreshTimer = true;
  double pauseScale = 1.0;        // every pause is multiplied by this
};

inline constexpr int kTransferFailedExit = 3;

// Runs the transfer, printing each step and the result text in the current
// language to `out`; returns 0 on success and kTransferFailedExit when the
// transfer failed. `doc` is needed except for the clock. Throws
// std::invalid_argument with the message to show for a choice the dialog
// would refuse (an address text that is not valid, an unknown port or controller).
int RunTransfer(const TransferRequest& request, CTessaraDoc* doc, const Language& language, std::ostream& out);

}  // namespace lumetra
