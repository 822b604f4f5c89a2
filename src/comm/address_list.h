#pragma once
// The panels a transfer is meant for: the address text typed in the send
// dialog ("1,2,3-5"), the address-mode byte and the 128-byte address table
// that every driver call carries.

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace lumetra {

inline constexpr std::uint8_t kAddressModeSingle = 0x01;
inline constexpr std::uint8_t kAddressModeList = 0x55;
inline constexpr std::uint8_t kAddressModeBroadcast = 0x5A;

inline constexpr int kMaxPanelAddress = 254;
inline constexpr std::size_t kAddressTableBytes = 128;
inline constexpr std::size_t kMaxTableAddresses = kAddressTableBytes - 1;
inline constexpr std::uint8_t kAddressTableEnd = 0xAA;  // byte 127, always

// Entries 0..126: the chosen addresses ascending without repeats, then zeros;
// byte 127 is kAddressTableEnd.
using AddressTable = std::array<std::uint8_t, kAddressTableBytes>;

// Spaces are ignored. The text must be non-empty, made of digits, "," and "-"
// only, must not begin or end with "," or "-", and must not hold "--", ",,",
// "-," or ",-". A text that chooses no address at all (every number above
// 254) is refused too: its table would name address 0.
bool IsValidAddressText(std::string_view text);

// The table for the text: single numbers and ranges "a-b" (either order,
// in "1-2-3" the range is 1-2), numbers above 254 ignored, only the 127
// lowest addresses kept. Meant for a text IsValidAddressText accepts; other
// texts are read up to their first character outside "0123456789,-".
AddressTable ParseAddressTable(std::string_view text);

// The table of addresses given in ascending order without repeats, the
// first 127 of them.
AddressTable AddressTableOf(std::span<const std::uint8_t> addresses);

// 0x5A with broadcast; otherwise 0x55 when the text holds "," or "-", else 0x01.
std::uint8_t AddressModeByte(std::string_view text, bool broadcast);

}  // namespace lumetra
