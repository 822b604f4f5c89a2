#pragma once
// Port names as documents and display libraries give them ("COM1") and what
// they stand for on this system: a serial device at a baud rate, or a panel
// controller on the network ("tcp://HOST:PORT"). Section "Ports" of the
// settings maps "COMn" to either and "COMnBaud" to the rate; the environment
// may override both (LUMETRA_COMn, LUMETRA_BAUD).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "protocol/byte_link.h"

namespace lumetra::protocol {

inline constexpr int kDefaultBaud = 115200;
// The rates a port may be set to.
inline constexpr int kOfferedBauds[] = {9600, 19200, 38400, 57600, 115200};

// Which pictures go packed over a port (key "COMnPacked" of section "Ports",
// or LUMETRA_PACKED): "addressed" (the default) packs them for addressed
// panels, and a panel that does not know packed data gets them plain;
// "all" packs broadcasts too, for lines where every panel knows it; "off"
// never packs.
enum class PackedPictures { kAddressed, kEveryPanel, kNever };
// nullopt for a text that is none of the three; an empty text is the default.
std::optional<PackedPictures> ParsePackedPictures(std::string_view text);

// Where a port's bytes go.
struct PortTarget {
  std::string device;  // a serial device, empty for the network
  std::string host;    // a network controller, empty for a serial device
  std::uint16_t tcpPort = 0;
  int baud = kDefaultBaud;  // a serial device's rate
  PackedPictures packed = PackedPictures::kAddressed;

  bool IsNetwork() const { return !host.empty(); }
  // "/dev/ttyUSB0 at 9600 baud" or "tcp://10.0.0.7:5000".
  std::string Describe() const;
};

// n for "COMn" in any letter case, n from 1 to 99 written without leading zeros;
// nothing for any other name.
std::optional<int> ComPortNumber(std::string_view portName);

// The device for COMn: envValue (LUMETRA_COMn) when not empty, else storeValue
// (the settings store's [Ports] COMn) when not empty, else /dev/ttyS{n-1}.
std::string ComPortDevice(int number, std::string_view envValue, std::string_view storeValue);

// A rate as written in the settings or on a command line, when it is one of
// kOfferedBauds; an empty text is the default.
std::optional<int> ParseBaud(std::string_view text);

struct HostAndPort {
  std::string host;
  std::uint16_t port = 0;
};
// "HOST:PORT" (HOST a name, an IPv4 address or an IPv6 address in
// brackets; PORT 1..65535, or 0 with `anyPort`).
std::optional<HostAndPort> ParseHostAndPort(std::string_view address, bool anyPort);

// A device path or "tcp://HOST:PORT" (HOST a name, an IPv4 address or an
// IPv6 address in brackets, PORT 1..65535), at `baud`. Throws LinkError for
// anything else.
PortTarget ParsePortTarget(std::string_view target, int baud = kDefaultBaud);

// What a port name stands for: "COMn" through its mapping, its rate
// (LUMETRA_BAUD, else [Ports] COMnBaud, else 115200) and its packing
// (LUMETRA_PACKED, else [Ports] COMnPacked), a device path or
// "tcp://HOST:PORT" as itself (at LUMETRA_BAUD and LUMETRA_PACKED, else the
// defaults). Throws LinkError for another name, a mapping that is neither, or
// a rate or packing not offered.
PortTarget ResolvePort(std::string_view portName);

// Opens the link to `target`: a serial device for this program alone, or a
// TCP connection within connectTimeoutMs. Throws LinkError.
std::unique_ptr<ByteLink> OpenPort(const PortTarget& target, int connectTimeoutMs);

}  // namespace lumetra::protocol
