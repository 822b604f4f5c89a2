#include "platform/local_time.h"

#include <cstdio>
#include <ctime>
#include <utility>

namespace lumetra {

namespace {
LocalTimeSource& Source() {
  static LocalTimeSource source;
  return source;
}
}  // namespace

std::string FormatLocalTime(const LocalTime& t) {
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  return text;
}

std::optional<LocalTime> ParseLocalTime(std::string_view text) {
  static constexpr std::string_view kPattern = "dddd-dd-dd dd:dd:dd";
  if (text.size() != kPattern.size()) return std::nullopt;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kPattern[i] == 'd' ? !digit : text[i] != kPattern[i]) return std::nullopt;
  }
  const std::string copy(text);
  LocalTime t;
  int used = 0;
  if (std::sscanf(copy.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%n", &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second,
                  &used) != 6 ||
      std::size_t(used) != copy.size() || t.year < 1) {
    return std::nullopt;
  }
  std::tm parts{};
  parts.tm_year = t.year - 1900;
  parts.tm_mon = t.month - 1;
  parts.tm_mday = t.day;
  parts.tm_hour = t.hour;
  parts.tm_min = t.minute;
  parts.tm_sec = t.second;
  // Worked in UTC, so that no daylight-saving gap shifts it; a date that does
  // not exist comes back changed.
  const std::time_t seconds = timegm(&parts);
  std::tm out{};
  if (!gmtime_r(&seconds, &out) || out.tm_year != t.year - 1900 || out.tm_mon != t.month - 1 || out.tm_mday != t.day ||
      out.tm_hour != t.hour || out.tm_min != t.minute || out.tm_sec != t.second) {
    return std::nullopt;
  }
  t.dayOfWeek = out.tm_wday;
  return t;
}

LocalTime SystemLocalTime() {
  std::time_t now = std::time(nullptr);
  std::tm parts{};
  if (now == std::time_t(-1) || !localtime_r(&now, &parts)) return {};
  return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_wday,
          parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

LocalTime GetLocalTime() {
  const LocalTimeSource& source = Source();
  return source ? source() : SystemLocalTime();
}

LocalTimeSource SetLocalTimeSource(LocalTimeSource source) { return std::exchange(Source(), std::move(source)); }

FixedLocalTime::FixedLocalTime(const LocalTime& time) : previous_(SetLocalTimeSource([time] { return time; })) {}

FixedLocalTime::~FixedLocalTime() { SetLocalTimeSource(std::move(previous_)); }

}  // namespace lumetra
