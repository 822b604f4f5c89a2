#include "comm/send_commands.h"

#include "comm/send_data.h"
#include "document/document.h"
#include "platform/local_time.h"

namespace lumetra {

SendDestination DestinationOf(const SendChoice& choice) {
  return SendDestination{PortName(choice.port), choice.addressMode, choice.addressTable, choice.controllerType};
}

int SendPictureToDevice(const SendOperations& operations, CTessaraDoc& doc, int clockCount, CPoint origin,
                        const SendChoice& choice) {
  return operations.SendEverything(DestinationOf(choice), doc, BuildParameterBlock(doc, clockCount),
                                   ColourFlags(doc.m_nColourSet, choice.reverseColour), choice.refreshTimer, origin);
}

int SendClockToDevice(const SendOperations& operations, const SendChoice& choice) {
  return operations.SendClock(DestinationOf(choice), MakeClockBytes(GetLocalTime()));
}

int ApplyPlayModes(const SendOperations& operations, const CTessaraDoc& doc, int clockCount, const SendChoice& choice) {
  return operations.ApplyParameters(DestinationOf(choice), BuildParameterBlock(doc, clockCount), choice.refreshTimer);
}

}  // namespace lumetra
