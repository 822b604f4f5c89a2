#include "comm/send_dialog_model.h"

#include <algorithm>

namespace lumetra {

SendDialogModel::SendDialogModel(bool clockMode) : m_bClockMode(clockMode) {}

void SendDialogModel::OnControllerType(int type) {
  m_nControllerType = type;
  if (type == kControllerMovaOut) {
    m_bRefreshTimerAvailable = false;
    m_bRefreshTimer = false;
  } else {
    m_bRefreshTimerAvailable = true;
  }
}

std::optional<SendChoice> SendDialogModel::OnSend() const {
  if (!IsValidAddressText(m_strAddress)) return std::nullopt;
  SendChoice choice;
  choice.port = std::clamp(m_nPort, 0, kPortCount - 1);
  choice.controllerType = m_nControllerType;
  choice.reverseColour = m_bReverseColour;
  choice.refreshTimer = m_bRefreshTimer;
  choice.broadcast = m_bBroadcast;
  choice.addressMode = AddressModeByte(m_strAddress, m_bBroadcast);
  choice.addressTable = ParseAddressTable(m_strAddress);
  return choice;
}

}  // namespace lumetra
