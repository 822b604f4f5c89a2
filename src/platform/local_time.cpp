#include "platform/local_time.h"

#include <ctime>
#include <utility>

namespace lumetra {

namespace {
LocalTimeSource& Source() {
  static LocalTimeSource source;
  return source;
}
}  // namespace

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
