#pragma once
// What a transfer to the panels came to, and the message the user reads of
// it: the result code of its first failure, the panels that failed while
// others went on, why a port could not be opened, a broadcast that no panel
// confirms, and a clock standing where no panel can be told of it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "comm/send_operations.h"

namespace lumetra {

class Language;

struct TransferReport {
  int result = 0;                       // the first failure's code; 0 when every call succeeded
  bool broadcast = false;               // sent to all panels, which answer nothing
  std::int64_t refusedClockFrame = 0;   // nothing was sent: the clock stands in this frame
  std::vector<PanelStepResult> panels;  // per step that named panels
  std::optional<PortFailure> port;      // the first port that could not be opened

  bool Failed() const { return result != 0 || refusedClockFrame != 0; }
};

// The full send and the clock: the success text (a broadcast's own, as
// nobody confirmed it), else the failure's message, with the panels that
// failed named when others went on without them.
std::string TransferMessage(const Language& language, const TransferReport& report);
// Apply of the play modes: the same, but a failure reads as key 2001 with
// the port and the panels that failed after it.
std::string AppliedMessage(const Language& language, const TransferReport& report);
// "7, 12".
std::string AddressesText(const std::vector<std::uint8_t>& addresses);
// "COM1 (/dev/ttyUSB0): permission denied — …", by the errno.
std::string PortFailureMessage(const Language& language, const PortFailure& failure);

}  // namespace lumetra
