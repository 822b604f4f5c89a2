#include "comm/send_commands.h"

#include "document/document.h"
#include "platform/local_time.h"

namespace lumetra {

TransferPlan PlanClockTransfer(const SendChoice& choice) {
  TransferPlan plan;
  plan.to = SendDestination{PortName(choice.port), choice.addressMode, choice.addressTable, choice.controllerType};
  plan.refreshClock = choice.refreshTimer;
  return plan;
}

TransferPlan PlanTransfer(const CTessaraDoc& doc, int clockCount, CPoint origin, const SendChoice& choice) {
  TransferPlan plan = PlanClockTransfer(choice);
  plan.parameters = BuildParameterBlock(doc, clockCount);
  plan.colourFlags = ColourFlags(doc.m_nColourSet, choice.reverseColour);
  plan.origin = origin;
  return plan;
}

int SendPictureToDevice(const SendOperations& operations, CTessaraDoc& doc, const TransferPlan& plan) {
  return operations.SendEverything(plan.to, doc, plan.parameters, plan.colourFlags, plan.refreshClock, plan.origin);
}

int SendClockToDevice(const SendOperations& operations, const TransferPlan& plan) {
  return operations.SendClock(plan.to, MakeClockBytes(GetLocalTime()));
}

int ApplyPlayModes(const SendOperations& operations, const TransferPlan& plan) {
  return operations.ApplyParameters(plan.to, plan.parameters, plan.refreshClock);
}

}  // namespace lumetra
