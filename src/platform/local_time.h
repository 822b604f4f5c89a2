#pragma once
// The computer's local date and time, read through one replaceable source so
// that what depends on the clock (the clock unit's preview, the clock bytes
// sent to a panel) can be run with a fixed time.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace lumetra {

struct LocalTime {
  std::int32_t year = 0;       // e.g. 2024
  std::int32_t month = 0;      // 1..12
  std::int32_t day = 0;        // day of the month, 1..31
  std::int32_t dayOfWeek = 0;  // 0 = Sunday .. 6 = Saturday
  std::int32_t hour = 0;       // 0..23
  std::int32_t minute = 0;     // 0..59
  std::int32_t second = 0;     // 0..60
  friend bool operator==(const LocalTime&, const LocalTime&) = default;
};

// "YYYY-MM-DD HH:MM:SS".
std::string FormatLocalTime(const LocalTime& time);
// The inverse, with the day of the week worked out; nullopt for any other
// text or a date or time that does not exist (years 1..9999).
std::optional<LocalTime> ParseLocalTime(std::string_view text);

using LocalTimeSource = std::function<LocalTime()>;

// The time now, from the current source.
LocalTime GetLocalTime();
// The time now from the system clock in the local time zone, whatever source is set.
LocalTime SystemLocalTime();
// Replaces the source; an empty source means the system clock. Returns the previous one.
LocalTimeSource SetLocalTimeSource(LocalTimeSource source);

// Makes GetLocalTime answer one fixed time while it lives.
class FixedLocalTime {
 public:
  explicit FixedLocalTime(const LocalTime& time);
  ~FixedLocalTime();
  FixedLocalTime(const FixedLocalTime&) = delete;
  FixedLocalTime& operator=(const FixedLocalTime&) = delete;

 private:
  LocalTimeSource previous_;
};

}  // namespace lumetra
