#pragma once
// What the send dialog decides apart from its widgets: the values it starts
// with, which options are enabled, how the controller type and "Broadcast"
// change them, and what "Send" yields. The dialog copies its controls into
// these fields before each reaction and shows them afterwards.

#include <cstdint>
#include <optional>
#include <string>

#include "comm/address_list.h"

namespace lumetra {

inline constexpr int kControllerMova = 0;     // "MOVA", the driver library
inline constexpr int kControllerMovaOut = 1;  // "MOVA_OUT", the panel library
inline constexpr int kPortCount = 4;          // "COM1".."COM4"

// Message key shown when "Send" meets an address text that is not valid.
inline constexpr int kInvalidAddressKey = 2004;

// Everything a transfer needs from the dialog after "Send".
struct SendChoice {
  int port = 0;  // 0..3
  int controllerType = kControllerMova;
  bool reverseColour = false;
  bool refreshTimer = true;
  bool broadcast = false;
  std::uint8_t addressMode = kAddressModeSingle;
  AddressTable addressTable{};
};

class SendDialogModel {
 public:
  // The send-clock command opens the dialog in clock mode with "Refresh timer" ticked.
  explicit SendDialogModel(bool clockMode = false);

  // In clock mode only the clock is sent, so the picture's options are off.
  bool RefreshTimerEnabled() const { return !m_bClockMode && m_bRefreshTimerAvailable; }
  bool ReverseColourEnabled() const { return !m_bClockMode; }
  // The address edit is only for panels chosen one by one.
  bool AddressEditEnabled() const { return !m_bBroadcast; }

  // "Refresh timer" is not offered with "MOVA_OUT": it is unticked and
  // disabled; back on "MOVA" it is enabled again but stays unticked.
  void OnControllerType(int type);
  void OnBroadcast(bool ticked) { m_bBroadcast = ticked; }

  // The choice when the address text is valid (checked even with
  // "Broadcast" ticked); nothing when the dialog must show key 2004 and stay open.
  std::optional<SendChoice> OnSend() const;

  int m_nPort = 0;
  bool m_bReverseColour = false;
  int m_nControllerType = kControllerMova;
  bool m_bRefreshTimer = true;
  std::string m_strAddress = "1";
  bool m_bBroadcast = false;
  bool m_bClockMode = false;

 private:
  bool m_bRefreshTimerAvailable = true;
};

}  // namespace lumetra
