#include "util/formatters.h"

#include <cfloat>
#include <cmath>
#include <cstdio>

#include "util/nmea_numbers.h"

namespace veltrano {

int32_t truncToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return 2147483647;
  if (value <= -2147483648.0) return -2147483647 - 1;
  return int32_t(value);
}

float toSingle(double value) {
  if (value > FLT_MAX) return HUGE_VALF;
  if (value < -FLT_MAX) return -HUGE_VALF;
  return float(value);
}

std::string formatTimeOfDay(double x) {
  // The loops subtract whole days, hours and minutes; fmod gives the same
  // exact remainder and keeps a garbage time of week from spinning for ever.
  if (x >= 86400) x = std::fmod(x, 86400.0);
  const int32_t hours = truncToInt(x * (1.0 / 3600));
  if (x >= 3600) x = std::fmod(x, 3600.0);
  const int32_t minutes = truncToInt(x * (1.0 / 60));
  if (x >= 60) x = std::fmod(x, 60.0);
  char text[64];
  std::snprintf(text, sizeof text, "%02d:%02d:%05.2lf", hours, minutes, x);
  return text;
}

std::string formatWeekDate(int32_t secondsOfWeek, int32_t week) {
  static constexpr int kMonthDays[12] = {31, 0, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const int64_t days = secondsOfWeek / 86400 + 7 * (int64_t(week) + 1024) + 5;
  const int64_t quads = days / 1461;
  int64_t d = days % 1461;
  int64_t yearInQuad = 0;
  int february = 29;
  if (d >= 366) {
    d -= 366;
    yearInQuad = d / 365 + 1;
    d %= 365;
    february = 28;
  }
  const int64_t year = 1980 + 4 * quads + yearInQuad;
  int month = 0;
  int64_t before = 0;
  while (month < 12) {
    const int length = month == 1 ? february : kMonthDays[month];
    if (before + length > d) break;
    before += length;
    ++month;
  }
  if (month == 12) month = 11;  // unreachable for d inside its year
  char text[64];
  std::snprintf(text, sizeof text, "%02d.%02d.%02d", int(d - before + 1), month + 1, int(year % 100));
  return text;
}

namespace {
std::string formatAngle(double angle, const char* format, char positive, char negative) {
  const double deg = std::fabs(angle * 180 * (1 / kPi));
  const int32_t whole = truncToInt(deg);
  const double minutes = (deg - whole) * 60;
  char text[64];
  std::snprintf(text, sizeof text, format, whole, kDegreeSign, minutes, angle >= 0 ? positive : negative);
  return text;
}
}  // namespace

std::string formatLatitude(double latitude) {
  return formatAngle(latitude, "%02d%c%8.5lf%c", 'N', 'S');
}

std::string formatLongitude(double longitude) {
  return formatAngle(longitude, "%03d%c%8.5lf%c", 'E', 'W');
}

double nmeaCoordinateToRadians(std::string_view value, std::string_view hemisphere, int degreeDigits) {
  const double degrees = leadingInt(fieldPiece(value, 1, degreeDigits));
  const double minutes = leadingReal(fieldPiece(value, degreeDigits + 1, int(value.size())));
  double result = (minutes * (1.0 / 60) + degrees) * (1.0 / 180) * kPi;
  const std::string_view negative = degreeDigits == 2 ? "S" : "W";
  if (hemisphere == negative) result = -result;
  return result;
}

}  // namespace veltrano
