#include "sim/gnss_time.h"

#include <charconv>

namespace veltrano::sim {

namespace {
constexpr int64_t kGpsEpochDays = 3657;  // 1980-01-06 counted from 1970-01-01
constexpr int64_t kDayMillis = 86400000;

int64_t daysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void civilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = int(doy - (153 * mp + 2) / 5 + 1);
  m = int(mp < 10 ? mp + 3 : mp - 9);
  y = int(yoe + era * 400 + (m <= 2));
}

bool readNumber(std::string_view text, size_t pos, size_t width, int& value) {
  if (pos + width > text.size()) return false;
  const char* first = text.data() + pos;
  const auto [ptr, ec] = std::from_chars(first, first + width, value);
  return ec == std::errc() && ptr == first + width;
}

int64_t floorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
}  // namespace

bool parseUtcStart(std::string_view text, int64_t& gpsMillis) {
  int y, mo, d, h, mi, s;
  if (text.size() != 19 || text[4] != '-' || text[7] != '-' || (text[10] != 'T' && text[10] != ' ') ||
      text[13] != ':' || text[16] != ':')
    return false;
  if (!readNumber(text, 0, 4, y) || !readNumber(text, 5, 2, mo) || !readNumber(text, 8, 2, d) ||
      !readNumber(text, 11, 2, h) || !readNumber(text, 14, 2, mi) || !readNumber(text, 17, 2, s))
    return false;
  if (y < 1999 || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59) return false;
  const int64_t days = daysFromCivil(y, mo, d) - kGpsEpochDays;
  gpsMillis = days * kDayMillis + (int64_t(h) * 3600 + mi * 60 + s + kLeapSeconds) * 1000;
  return true;
}

CalendarTime utcCalendar(int64_t gpsMillis) {
  const int64_t utc = gpsMillis - int64_t(kLeapSeconds) * 1000;
  const int64_t days = floorDiv(utc, kDayMillis);
  int64_t ms = utc - days * kDayMillis;
  CalendarTime t{};
  civilFromDays(days + kGpsEpochDays, t.year, t.month, t.day);
  t.hour = int(ms / 3600000);
  ms -= int64_t(t.hour) * 3600000;
  t.minute = int(ms / 60000);
  ms -= int64_t(t.minute) * 60000;
  t.second = int(ms / 1000);
  t.millisecond = int(ms % 1000);
  return t;
}

int32_t weekOf(int64_t millis) { return int32_t(floorDiv(millis, kWeekMillis)) - kWeekRollover; }

int64_t millisOfWeek(int64_t millis) { return millis - floorDiv(millis, kWeekMillis) * kWeekMillis; }

}  // namespace veltrano::sim
