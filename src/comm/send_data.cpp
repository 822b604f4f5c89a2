#include "comm/send_data.h"

#include <algorithm>
#include <cstdio>

#include "lang/language.h"

namespace lumetra {
std::string PortName(int portIndex) { return "COM" + std::to_string(std::clamp(portIndex, 0, 3) + 1); }

std::optional<int> ResultCodeKey(int code) {
  switch (code) {
    case 0:
      return 33000;
    case 1:
    case 2:
    case 3:
      return 33000 + code;
    case 16:
      return 33004;
    case 32:
    case 33:
    case 34:
      return 33005 + (code - 32);
    default:
      return std::nullopt;
  }
}

std::string ResultCodeMessage(const Language& language, int code) {
  if (std::optional<int> key = ResultCodeKey(code)) return language.LookupText(*key);
  char text[64];
  std::snprintf(text, sizeof text, kUnknownResultFormat, code);
  return text;
}

}  // namespace lumetra
