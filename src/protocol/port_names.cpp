#include "protocol/port_names.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "platform/profile/settings_store.h"
#include "protocol/serial_line.h"
#include "protocol/tcp_link.h"

namespace lumetra::protocol {
namespace {

constexpr std::string_view kTcpScheme = "tcp://";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithCom(std::string_view name) {
  return name.size() >= 3 && AsciiLower(name[0]) == 'c' && AsciiLower(name[1]) == 'o' && AsciiLower(name[2]) == 'm';
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string EnvValue(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  return value ? value : "";
}

int BaudOrThrow(std::string_view text, std::string_view where) {
  const std::optional<int> baud = ParseBaud(text);
  if (!baud) {
    throw LinkError("baud rate " + Quoted(text) + " of " + std::string(where) +
                    " is not one of 9600, 19200, 38400, 57600, 115200");
  }
  return *baud;
}

PackedPictures PackedOrThrow(std::string_view text, std::string_view where) {
  const std::optional<PackedPictures> packed = ParsePackedPictures(text);
  if (!packed) throw LinkError("packing " + Quoted(text) + " of " + std::string(where) + " is not addressed, all or off");
  return *packed;
}

}  // namespace

std::optional<PackedPictures> ParsePackedPictures(std::string_view text) {
  if (text.empty() || text == "addressed") return PackedPictures::kAddressed;
  if (text == "all") return PackedPictures::kEveryPanel;
  if (text == "off") return PackedPictures::kNever;
  return std::nullopt;
}

std::string PortTarget::Describe() const {
  if (IsNetwork()) {
    const bool v6 = host.find(':') != std::string::npos;
    return std::string(kTcpScheme) + (v6 ? "[" + host + "]" : host) + ":" + std::to_string(tcpPort);
  }
  return device + " at " + std::to_string(baud) + " baud";
}

std::optional<int> ComPortNumber(std::string_view portName) {
  if (!StartsWithCom(portName)) return std::nullopt;
  // One or two digits without a leading zero: 1 to 99.
  const std::string_view digits = portName.substr(3);
  if (digits.empty() || digits.size() > 2 || digits.front() == '0') return std::nullopt;
  int number = 0;
  for (char c : digits) {
    if (!IsDigit(c)) return std::nullopt;
    number = number * 10 + (c - '0');
  }
  return number;
}

std::string ComPortDevice(int number, std::string_view envValue, std::string_view storeValue) {
  if (!envValue.empty()) return std::string(envValue);
  if (!storeValue.empty()) return std::string(storeValue);
  return "/dev/ttyS" + std::to_string(number - 1);
}

std::optional<int> ParseBaud(std::string_view text) {
  if (text.empty()) return kDefaultBaud;
  int baud = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), baud);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (std::find(std::begin(kOfferedBauds), std::end(kOfferedBauds), baud) == std::end(kOfferedBauds)) {
    return std::nullopt;
  }
  return baud;
}

std::optional<HostAndPort> ParseHostAndPort(std::string_view address, bool anyPort) {
  const std::size_t colon = address.rfind(':');
  if (colon == std::string_view::npos) return std::nullopt;
  std::string_view host = address.substr(0, colon);
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') host = host.substr(1, host.size() - 2);
  const std::string_view portText = address.substr(colon + 1);
  unsigned port = 0;
  const auto [end, error] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
  if (host.empty() || host.find_first_of("/[] ") != std::string_view::npos || portText.empty() ||
      error != std::errc() || end != portText.data() + portText.size() || (port == 0 && !anyPort) || port > 65535) {
    return std::nullopt;
  }
  return HostAndPort{std::string(host), std::uint16_t(port)};
}

PortTarget ParsePortTarget(std::string_view target, int baud) {
  if (target.starts_with('/')) return PortTarget{std::string(target), {}, 0, baud};
  if (!target.starts_with(kTcpScheme)) {
    throw LinkError("unknown port " + Quoted(target) + ": expected COM1 to COM99, a device path or tcp://HOST:PORT");
  }
  const std::optional<HostAndPort> address = ParseHostAndPort(target.substr(kTcpScheme.size()), false);
  if (!address) throw LinkError("network port " + Quoted(target) + " is not tcp://HOST:PORT (PORT 1 to 65535)");
  return PortTarget{{}, address->host, address->port, baud};
}

PortTarget ResolvePort(std::string_view portName) {
  const std::string baudOverride = EnvValue("LUMETRA_BAUD");
  const std::string packedOverride = EnvValue("LUMETRA_PACKED");
  if (const std::optional<int> number = ComPortNumber(portName)) {
    const std::string key = "COM" + std::to_string(*number);
    const SettingsStore store(SettingsStore::DefaultPath());
    const std::string mapped =
        ComPortDevice(*number, EnvValue("LUMETRA_" + key), store.GetProfileString("Ports", key, ""));
    const int baud = baudOverride.empty()
                         ? BaudOrThrow(store.GetProfileString("Ports", key + "Baud", ""), key + "Baud")
                         : BaudOrThrow(baudOverride, "LUMETRA_BAUD");
    PortTarget target = ParsePortTarget(mapped, baud);
    target.packed = packedOverride.empty()
                        ? PackedOrThrow(store.GetProfileString("Ports", key + "Packed", ""), key + "Packed")
                        : PackedOrThrow(packedOverride, "LUMETRA_PACKED");
    return target;
  }
  PortTarget target = ParsePortTarget(portName, BaudOrThrow(baudOverride, "LUMETRA_BAUD"));
  target.packed = PackedOrThrow(packedOverride, "LUMETRA_PACKED");
  return target;
}

std::unique_ptr<ByteLink> OpenPort(const PortTarget& target, int connectTimeoutMs) {
  if (target.IsNetwork()) return std::make_unique<TcpLink>(TcpLink::Connect(target.host, target.tcpPort, connectTimeoutMs));
  return std::make_unique<SerialLine>(SerialLine::Open(target.device, target.baud));
}

}  // namespace lumetra::protocol
