#pragma once
// The three transfers the user starts, from the send dialog's choice to the
// result code: "Send picture to device", the clock alone, and "Apply" of the
// play modes. The editor and lumetra-cli both run them through here. What a
// transfer takes from the document is planned first, so that the editor can
// run the transfer itself off its drawing thread.

#include "comm/send_data.h"
#include "comm/send_dialog_model.h"
#include "comm/send_operations.h"
#include "platform/types.h"

namespace lumetra {

class CTessaraDoc;

struct TransferPlan {
  SendDestination to;
  ParameterBlock parameters{};
  std::uint8_t colourFlags = 0;
  bool refreshClock = true;
  CPoint origin;  // the view's window origin, with which the picture is drawn
};

// The view's clock count decides whether the clock style is sent.
TransferPlan PlanTransfer(const CTessaraDoc& doc, int clockCount, CPoint origin, const SendChoice& choice);
// Only where it goes: the clock needs nothing of a document.
TransferPlan PlanClockTransfer(const SendChoice& choice);

// Clear, parameters, the picture and, with "Refresh timer", the clock.
int SendPictureToDevice(const SendOperations& operations, CTessaraDoc& doc, const TransferPlan& plan);
int SendClockToDevice(const SendOperations& operations, const TransferPlan& plan);
// The parameters and, with "Refresh timer", the clock; the sum of the codes.
int ApplyPlayModes(const SendOperations& operations, const TransferPlan& plan);

}  // namespace lumetra
