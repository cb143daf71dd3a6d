#pragma once
// Fixed-width texts of times, GPS week dates and coordinates as the windows
// show them, and the parse of NMEA coordinate fields. Texts are 8-bit; the
// degree sign is the single character 0xB0.
#include <cstdint>
#include <string>
#include <string_view>

namespace veltrano {

constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;
constexpr double kSemiMajorAxis = 6378137.0;
constexpr double kEccentricitySquared = 0.00669437999;
constexpr double kMeridianNumerator = 6335439.327293721;  // a (1 - e^2)
constexpr char kDegreeSign = char(0xB0);

// "HH:MM:SS.ss" of seconds (whole days are removed first).
std::string formatTimeOfDay(double seconds);

// "DD.MM.YY" of seconds of the week and a week number counted from the first
// week-number rollover.
std::string formatWeekDate(int32_t secondsOfWeek, int32_t week);

// "DD°MM.MMMMMH" and "DDD°MM.MMMMMH" of an angle in radians.
std::string formatLatitude(double latitude);
std::string formatLongitude(double longitude);

// Radians of an NMEA coordinate field (ddmm.mmmm with degreeDigits degree
// digits) and its hemisphere field.
double nmeaCoordinateToRadians(std::string_view value, std::string_view hemisphere, int degreeDigits);

// Truncation toward zero that never overflows: NaN gives 0, values beyond the
// 32-bit range saturate.
int32_t truncToInt(double value);

// Single precision as the hardware rounds it, except that a value beyond the
// single range becomes an infinity of its sign instead of undefined behaviour.
float toSingle(double value);

}  // namespace veltrano
