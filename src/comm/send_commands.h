#pragma once
// The three transfers the user starts, from the send dialog's choice to the
// report of what became of them: "Send picture to device", the clock alone,
// and "Apply" of the play modes. The editor and lumetra-cli both run them
// through here. What a transfer takes from the document is planned first,
// so that the editor can run the transfer itself off its drawing thread.

#include <cstdint>

#include "comm/send_data.h"
#include "comm/send_dialog_model.h"
#include "comm/send_operations.h"
#include "comm/transfer_report.h"
#include "platform/types.h"

namespace lumetra {

class CTessaraDoc;

struct TransferPlan {
  SendDestination to;
  ParameterBlock parameters{};
  std::uint8_t colourFlags = 0;
  bool refreshClock = true;
  CPoint origin;                // the view's window origin, with which the picture is drawn
  std::int64_t clockFrame = 0;  // the frame of the clock the panels show, 0 without one
};

// The view's clock count decides whether the clock style is sent. The
// document must have been drawn, which places its clock.
TransferPlan PlanTransfer(const CTessaraDoc& doc, int clockCount, CPoint origin, const SendChoice& choice);
// Only where it goes: the clock needs nothing of a document.
TransferPlan PlanClockTransfer(const SendChoice& choice);

// Clear, parameters, the picture and, with "Refresh timer", the clock.
// The parameters carry the clock's frame in one byte, so a clock standing
// beyond frame kMaxClockFrame refuses the transfer before anything is sent,
// here and in ApplyPlayModes.
TransferReport SendPictureToDevice(SendOperations& operations, CTessaraDoc& doc, const TransferPlan& plan);
TransferReport SendClockToDevice(SendOperations& operations, const TransferPlan& plan);
// The parameters and, with "Refresh timer", the clock; the sum of the codes.
TransferReport ApplyPlayModes(SendOperations& operations, const TransferPlan& plan);

}  // namespace lumetra
