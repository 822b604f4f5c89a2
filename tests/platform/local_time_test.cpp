// Times written as "YYYY-MM-DD HH:MM:SS": read back with their day of the
// week, and every other text or a date that does not exist refused.

#include "platform/local_time.h"

#include <gtest/gtest.h>

namespace lumetra {
namespace {

TEST(LocalTimeText, ReadsWhatItWritesAndRefusesEverythingElse) {
  const LocalTime leapDay{2028, 2, 29, 2, 23, 59, 59};  // a Tuesday
  EXPECT_EQ(FormatLocalTime(leapDay), "2028-02-29 23:59:59");
  EXPECT_EQ(ParseLocalTime("2028-02-29 23:59:59"), leapDay);
  EXPECT_EQ(ParseLocalTime("0001-01-01 00:00:00")->dayOfWeek, 1);
  for (const char* refused : {"2027-02-29 10:00:00", "2026-13-01 10:00:00", "2026-12-10 24:00:00",
                              "2026-12-10 10:60:00", "2023-+2-28 10:00:00", "2023- 2-28 10:00:00",
                              "2026-12-10 10:00", "2026-12-10 10:00:00 ", "2026-12-10T10:00:00",
                              "0000-01-01 00:00:00", ""}) {
    EXPECT_FALSE(ParseLocalTime(refused)) << refused;
  }
}

}  // namespace
}  // namespace lumetra
