#pragma once
// GPS time in milliseconds since 6 January 1980, its week and time of week, and
// the UTC calendar date and time of day derived from it.
#include <cstdint>
#include <string_view>

namespace veltrano::sim {

constexpr int kLeapSeconds = 18;           // GPS - UTC
constexpr int64_t kWeekMillis = 604800000;
constexpr int kWeekRollover = 1024;        // receivers count weeks from the first rollover

struct CalendarTime {
  int year, month, day;
  int hour, minute, second, millisecond;
};

// "YYYY-MM-DDTHH:MM:SS" (UTC) to GPS milliseconds; false when malformed.
bool parseUtcStart(std::string_view text, int64_t& gpsMillis);

// UTC calendar time of a GPS time.
CalendarTime utcCalendar(int64_t gpsMillis);

// Week number counted from the first rollover and milliseconds of the week.
int32_t weekOf(int64_t millis);
int64_t millisOfWeek(int64_t millis);

}  // namespace veltrano::sim
