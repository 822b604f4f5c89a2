#include "protocol/port_names.h"

#include <cstdlib>

#include "platform/profile/settings_store.h"
#include "protocol/serial_line.h"

namespace lumetra::protocol {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithCom(std::string_view name) {
  return name.size() >= 3 && AsciiLower(name[0]) == 'c' && AsciiLower(name[1]) == 'o' && AsciiLower(name[2]) == 'm';
}

}  // namespace

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

std::string ResolvePortDevice(std::string_view portName) {
  if (const std::optional<int> number = ComPortNumber(portName)) {
    const std::string key = "COM" + std::to_string(*number);
    const char* env = std::getenv(("LUMETRA_" + key).c_str());
    const SettingsStore store(SettingsStore::DefaultPath());
    return ComPortDevice(*number, env != nullptr ? env : "", store.GetProfileString("Ports", key, ""));
  }
  if (portName.starts_with('/')) return std::string(portName);
  throw SerialError("unknown port \"" + std::string(portName) + "\": expected COM1 to COM99 or a device path");
}

}  // namespace lumetra::protocol
