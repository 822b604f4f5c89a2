#include "comm/address_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "comm/send_dialog_model.h"

namespace lumetra {
namespace {

// The entries up to the first zero after entry 0; checks the end marker too.
std::vector<int> Addresses(const AddressTable& t) {
  EXPECT_EQ(t[127], 0xAA);
  std::vector<int> out;
  for (std::size_t i = 0; i < 127 && (i == 0 || t[i] != 0); ++i) out.push_back(t[i]);
  return out;
}

TEST(AddressText, AcceptsListsRangesAndSpaces) {
  for (const char* text : {"1", "1,2,3-5", "5-3", "1-2-3", "0", " 1 , 2 ", "1,300"})
    EXPECT_TRUE(IsValidAddressText(text)) << text;
}

TEST(AddressText, RefusesMalformedTexts) {
  for (const char* text : {"", "   ", "1,,2", ",1", "1-", "-1", "1--2", "1-,2", "1,-2", "a1", "1;2", "1.5"})
    EXPECT_FALSE(IsValidAddressText(text)) << '"' << text << '"';
}

TEST(AddressText, RefusesTextThatChoosesNoAddress) {
  // Its table would be all zeros and the transfer would go to address 0.
  EXPECT_FALSE(IsValidAddressText("255"));
  EXPECT_FALSE(IsValidAddressText("300,999999999999999999"));
  EXPECT_TRUE(IsValidAddressText("300-254"));
}

TEST(AddressTable, ListsAddressesAscendingWithoutRepeats) {
  EXPECT_EQ(Addresses(ParseAddressTable("1,2,3-5")), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(Addresses(ParseAddressTable("7")), (std::vector<int>{7}));
  EXPECT_EQ(Addresses(ParseAddressTable("5-3")), (std::vector<int>{3, 4, 5}));
  EXPECT_EQ(Addresses(ParseAddressTable("3,1,3")), (std::vector<int>{1, 3}));
  EXPECT_EQ(Addresses(ParseAddressTable(" 1 , 2")), (std::vector<int>{1, 2}));
  EXPECT_EQ(Addresses(ParseAddressTable("1-2-3")), (std::vector<int>{1, 2}));
  EXPECT_EQ(Addresses(ParseAddressTable("9,300,99999999999999")), (std::vector<int>{9}));
  EXPECT_EQ(Addresses(ParseAddressTable("250-999")), (std::vector<int>{250, 251, 252, 253, 254}));

  const AddressTable t = ParseAddressTable("4");
  for (std::size_t i = 1; i < 127; ++i) EXPECT_EQ(t[i], 0) << i;
}

TEST(AddressTable, KeepsOnlyThe127LowestAddresses) {
  const AddressTable t = ParseAddressTable("0-200");
  for (std::size_t i = 0; i < 127; ++i) EXPECT_EQ(t[i], i);
  EXPECT_EQ(t[127], 0xAA);
}

TEST(AddressMode, FollowsBroadcastThenSeparators) {
  EXPECT_EQ(AddressModeByte("7", false), 0x01);
  EXPECT_EQ(AddressModeByte("1,2", false), 0x55);
  EXPECT_EQ(AddressModeByte("5-3", false), 0x55);
  EXPECT_EQ(AddressModeByte("7", true), 0x5A);
}

TEST(SendDialog, ClockModeDisablesThePictureOptions) {
  SendDialogModel clock(true);
  EXPECT_TRUE(clock.m_bRefreshTimer);
  EXPECT_FALSE(clock.RefreshTimerEnabled());
  EXPECT_FALSE(clock.ReverseColourEnabled());
}

TEST(SendDialog, MovaOutUnticksRefreshTimerAndMovaLeavesItUnticked) {
  SendDialogModel dialog;
  dialog.OnControllerType(kControllerMovaOut);
  EXPECT_FALSE(dialog.m_bRefreshTimer);
  EXPECT_FALSE(dialog.RefreshTimerEnabled());
  dialog.OnControllerType(kControllerMova);
  EXPECT_TRUE(dialog.RefreshTimerEnabled());
  EXPECT_FALSE(dialog.m_bRefreshTimer);
}

TEST(SendDialog, SendValidatesTheTextEvenWhenBroadcasting) {
  SendDialogModel dialog;
  dialog.OnBroadcast(true);
  EXPECT_FALSE(dialog.AddressEditEnabled());
  dialog.m_strAddress = "1,,2";
  EXPECT_FALSE(dialog.OnSend());

  dialog.m_strAddress = "2,4";
  dialog.m_nPort = 2;
  const std::optional<SendChoice> choice = dialog.OnSend();
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->addressMode, 0x5A);
  EXPECT_EQ(Addresses(choice->addressTable), (std::vector<int>{2, 4}));
  EXPECT_EQ(choice->port, 2);
  EXPECT_TRUE(choice->broadcast);
}

}  // namespace
}  // namespace lumetra
