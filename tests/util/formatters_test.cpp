#include "util/formatters.h"

#include <gtest/gtest.h>

#include <cmath>

namespace veltrano {
namespace {

const std::string deg(1, kDegreeSign);

TEST(FormatTimeOfDay, Table) {
  struct Case {
    double seconds;
    const char* text;
  } cases[] = {
      {0, "00:00:00.00"},
      {90061.5, "01:01:01.50"},        // one day removed first
      {86399.99, "23:59:59.99"},
      {59.996, "00:00:60.00"},         // two decimals, no carry into the minute
      {604799, "23:59:59.00"},         // last second of the week
      {3 * 86400 + 12 * 3600 + 5, "12:00:05.00"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatTimeOfDay(c.seconds), c.text) << c.seconds;
}

TEST(FormatTimeOfDay, GarbageTimeNeitherHangsNorOverflows) {
  EXPECT_EQ(formatTimeOfDay(1e300).size(), 11u);
  EXPECT_FALSE(formatTimeOfDay(INFINITY).empty());
  EXPECT_FALSE(formatTimeOfDay(NAN).empty());
}

TEST(FormatWeekDate, Table) {
  struct Case {
    int32_t seconds, week;
    const char* text;
  } cases[] = {
      {0, 0, "22.08.99"},          // week 0 is read as week 1024
      {518400, 0, "28.08.99"},
      {0, 756, "16.02.14"},
      {259200, 653, "29.02.12"},   // leap day
      {604799, 1023, "06.04.19"},
      {0, -1024, "06.01.80"},      // the first GPS week
      {86400 * 3, -1024 + 51, "31.12.80"},
      {0, -1024 + 52, "04.01.81"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatWeekDate(c.seconds, c.week), c.text) << c.seconds << " " << c.week;
}

TEST(FormatWeekDate, ExtremeWeeksDoNotOverflow) {
  EXPECT_EQ(formatWeekDate(2147483647, 2147483647).size(), 8u);
  EXPECT_FALSE(formatWeekDate(-2147483647 - 1, -2147483647 - 1).empty());
}

TEST(FormatCoordinates, Table) {
  struct Case {
    bool latitude;
    double angle;
    std::string text;
  } cases[] = {
      {true, 0.0, "00" + deg + " 0.00000N"},
      {true, -0.0, "00" + deg + " 0.00000N"},
      {false, -kPi / 2, "090" + deg + " 0.00000W"},
      {true, (55 + 5.12345 / 60) * kPi / 180, "55" + deg + " 5.12345N"},
      {true, -(12 + 34.5 / 60) * kPi / 180, "12" + deg + "34.50000S"},
      {false, (37 + 59.9999999 / 60) * kPi / 180, "037" + deg + "60.00000E"},  // no carry into degrees
      {false, kPi, "180" + deg + " 0.00000E"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.latitude ? formatLatitude(c.angle) : formatLongitude(c.angle), c.text) << c.angle;
}

TEST(NmeaCoordinateToRadians, Table) {
  struct Case {
    const char* value;
    const char* hemisphere;
    int digits;
    double expected;
  } cases[] = {
      {"5530.5000", "S", 2, -(30.5 / 60 + 55) * (1.0 / 180) * kPi},
      {"5530.5000", "N", 2, (30.5 / 60 + 55) * (1.0 / 180) * kPi},
      {"", "N", 2, 0.0},
      {"03730.0000", "W", 3, -(30.0 / 60 + 37) * (1.0 / 180) * kPi},
      {"03730.0000", "S", 3, (30.0 / 60 + 37) * (1.0 / 180) * kPi},  // only W negates a longitude
      {"5530.5000", "SS", 2, (30.5 / 60 + 55) * (1.0 / 180) * kPi},  // exactly "S" only
      {"55", "N", 2, 55 * (1.0 / 180) * kPi},
  };
  for (const auto& c : cases)
    EXPECT_DOUBLE_EQ(nmeaCoordinateToRadians(c.value, c.hemisphere, c.digits), c.expected) << c.value;
}

}  // namespace
}  // namespace veltrano
