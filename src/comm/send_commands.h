#pragma once
// The three transfers the user starts, from the send dialog's choice to the
// result code: "Send picture to device", the clock alone, and "Apply" of the
// play modes. The editor and lumetra-cli both run them through here.

#include "comm/send_dialog_model.h"
#include "comm/send_operations.h"
#include "platform/types.h"

namespace lumetra {

class CTessaraDoc;

SendDestination DestinationOf(const SendChoice& choice);

// Clear, parameters, the picture and, with "Refresh timer", the clock. The
// view's clock count decides whether the clock style is sent; `origin` is
// the view's window origin, with which the picture is drawn.
int SendPictureToDevice(const SendOperations& operations, CTessaraDoc& doc, int clockCount, CPoint origin,
                        const SendChoice& choice);
int SendClockToDevice(const SendOperations& operations, const SendChoice& choice);
// The parameters and, with "Refresh timer", the clock; the sum of the codes.
int ApplyPlayModes(const SendOperations& operations, const CTessaraDoc& doc, int clockCount, const SendChoice& choice);

}  // namespace lumetra
