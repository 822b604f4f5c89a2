#include "comm/address_list.h"

#include <algorithm>
#include <bitset>
#include <string>
#include <vector>

#include "protocol/frame.h"

namespace lumetra {

// The address modes the send dialog makes are the ones the protocol carries.
static_assert(kAddressModeSingle == protocol::kModeSingle);
static_assert(kAddressModeList == protocol::kModeList);
static_assert(kAddressModeBroadcast == protocol::kModeBroadcast);

namespace {

constexpr std::string_view kAddressChars = "0123456789,-";

std::string WithoutSpaces(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != ' ') out.push_back(c);
  return out;
}

// The decimal number at the start of s; any value past the last address
// stays just past it, so a long run of digits cannot overflow.
int LeadingNumber(std::string_view s) {
  int value = 0;
  for (char c : s) {
    if (c < '0' || c > '9') break;
    value = std::min(value * 10 + (c - '0'), kMaxPanelAddress + 1);
  }
  return value;
}

using AddressFlags = std::bitset<kMaxPanelAddress + 1>;

AddressFlags ChosenAddresses(std::string_view text) {
  std::string s = WithoutSpaces(text);
  s.resize(std::min(s.size(), s.find_first_not_of(kAddressChars)));

  AddressFlags chosen;
  std::size_t begin = 0;
  while (begin <= s.size()) {
    std::size_t end = std::min(s.find(',', begin), s.size());
    std::string_view item(s.data() + begin, end - begin);
    if (std::size_t hyphen = item.find('-'); hyphen == std::string_view::npos) {
      if (!item.empty()) {
        int a = LeadingNumber(item);
        if (a <= kMaxPanelAddress) chosen.set(a);
      }
    } else {
      int a = LeadingNumber(item.substr(0, hyphen));
      int b = LeadingNumber(item.substr(hyphen + 1));
      for (int v = std::min(a, b), last = std::min(std::max(a, b), kMaxPanelAddress); v <= last; ++v) chosen.set(v);
    }
    begin = end + 1;
  }
  return chosen;
}

}  // namespace

bool IsValidAddressText(std::string_view text) {
  const std::string s = WithoutSpaces(text);
  if (s.empty() || s.find_first_not_of(kAddressChars) != std::string::npos) return false;
  auto isSeparator = [](char c) { return c == ',' || c == '-'; };
  if (isSeparator(s.front()) || isSeparator(s.back())) return false;
  for (std::size_t i = 1; i < s.size(); ++i)
    if (isSeparator(s[i - 1]) && isSeparator(s[i])) return false;
  return ChosenAddresses(s).any();
}

AddressTable ParseAddressTable(std::string_view text) {
  const AddressFlags chosen = ChosenAddresses(text);
  std::vector<std::uint8_t> addresses;
  for (int a = 0; a <= kMaxPanelAddress; ++a)
    if (chosen.test(a)) addresses.push_back(std::uint8_t(a));
  return AddressTableOf(addresses);
}

AddressTable AddressTableOf(std::span<const std::uint8_t> addresses) {
  AddressTable table{};
  std::copy_n(addresses.begin(), std::min(addresses.size(), kMaxTableAddresses), table.begin());
  table[kAddressTableBytes - 1] = kAddressTableEnd;
  return table;
}

std::uint8_t AddressModeByte(std::string_view text, bool broadcast) {
  if (broadcast) return kAddressModeBroadcast;
  return text.find_first_of(",-") != std::string_view::npos ? kAddressModeList : kAddressModeSingle;
}

}  // namespace lumetra
