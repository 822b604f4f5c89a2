#include "comm/send_commands.h"

#include "document/document.h"
#include "platform/local_time.h"

namespace lumetra {
namespace {

TransferReport Reported(const SendOperations& operations, const TransferPlan& plan, int result) {
  return TransferReport{result, plan.to.mode == kAddressModeBroadcast, 0, operations.PanelResults(),
                        operations.PortFailed()};
}

bool ClockBeyondPanels(const TransferPlan& plan) { return plan.clockFrame > kMaxClockFrame; }

TransferReport Refused(const TransferPlan& plan) {
  TransferReport report;
  report.refusedClockFrame = plan.clockFrame;
  return report;
}

}  // namespace

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
  if (ShowsClock(doc, clockCount)) plan.clockFrame = ClockFrame(doc);
  return plan;
}

TransferReport SendPictureToDevice(SendOperations& operations, CTessaraDoc& doc, const TransferPlan& plan) {
  if (ClockBeyondPanels(plan)) return Refused(plan);
  return Reported(
      operations, plan,
      operations.SendEverything(plan.to, doc, plan.parameters, plan.colourFlags, plan.refreshClock, plan.origin));
}

TransferReport SendClockToDevice(SendOperations& operations, const TransferPlan& plan) {
  return Reported(operations, plan, operations.SendClock(plan.to, MakeClockBytes(GetLocalTime())));
}

TransferReport ApplyPlayModes(SendOperations& operations, const TransferPlan& plan) {
  if (ClockBeyondPanels(plan)) return Refused(plan);
  return Reported(operations, plan, operations.ApplyParameters(plan.to, plan.parameters, plan.refreshClock));
}

}  // namespace lumetra
