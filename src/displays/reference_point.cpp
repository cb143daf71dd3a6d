#include "displays/reference_point.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "displays/plot_geometry.h"
#include "util/formatters.h"
#include "util/nmea_numbers.h"

namespace veltrano {

namespace {

constexpr double kHalfPi = kPi / 2;
constexpr double kLowestHeight = -999.99;
constexpr double kHighestHeight = 9999.99;
constexpr double kLargestMinutes = 59.99999;
// Minutes are shown to 0.00001.
constexpr double kMinuteSteps = 1e5;

struct AngleLayout {
  const char* places;  // '9' a digit, 'd' the degree sign, any other character itself
  int maxDegrees;
  char positive;
  char negative;
};

constexpr AngleLayout kLatitude{"99d99.99999", 90, 'N', 'S'};
constexpr AngleLayout kLongitude{"999d99.99999", 180, 'E', 'W'};

std::string angleText(double angle, const AngleLayout& layout) {
  const double degrees = std::fabs(angle * 180 * (1 / kPi));
  // The guard keeps a value a hair below a whole degree from showing as the
  // degree before it with 60 minutes.
  int32_t whole = truncToInt(degrees + 1e-10);
  double minutes = std::round((degrees - whole) * 60 * kMinuteSteps) / kMinuteSteps;
  if (minutes >= 60) {
    ++whole;
    minutes -= 60;
  }
  // Within the guard the difference is a little negative; no "-0.00000".
  if (minutes <= 0) minutes = 0;
  const int degreeDigits = layout.maxDegrees >= 100 ? 3 : 2;
  char text[64];
  std::snprintf(text, sizeof text, "%0*d%c%08.5lf%c", degreeDigits, whole, kDegreeSign, minutes,
                angle >= 0 ? layout.positive : layout.negative);
  return text;
}

bool fitsPlaces(std::string_view text, const char* places) {
  const std::string_view expected(places);
  if (text.size() != expected.size() + 1) return false;
  for (size_t i = 0; i < expected.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (expected[i] == '9' ? !digit : text[i] != (expected[i] == 'd' ? kDegreeSign : expected[i])) return false;
  }
  return true;
}

std::optional<double> readAngle(std::string_view text, const AngleLayout& layout) {
  if (!fitsPlaces(text, layout.places)) return std::nullopt;
  const char hemisphere = text.back();
  if (hemisphere != layout.positive && hemisphere != layout.negative) return std::nullopt;
  const size_t minutesStart = std::string_view(layout.places).find('d') + 1;
  const double minutes = leadingReal(text.substr(minutesStart));
  const int32_t degrees = leadingInt(text);
  if (minutes > kLargestMinutes || degrees > layout.maxDegrees || (degrees == layout.maxDegrees && minutes > 0))
    return std::nullopt;
  const double angle = (degrees + minutes * (1.0 / 60)) * kPi * (1.0 / 180);
  return hemisphere == layout.negative ? -angle : angle;
}

}  // namespace

std::string referenceLatitudeText(double latitude) { return angleText(latitude, kLatitude); }

std::string referenceLongitudeText(double longitude) { return angleText(longitude, kLongitude); }

std::string referenceHeightText(double height) {
  char text[64];
  std::snprintf(text, sizeof text, "%07.2lf", std::clamp(height, kLowestHeight, kHighestHeight));
  return text;
}

std::optional<double> readReferenceLatitude(std::string_view text) { return readAngle(text, kLatitude); }

std::optional<double> readReferenceLongitude(std::string_view text) { return readAngle(text, kLongitude); }

double readReferenceHeight(std::string_view text) { return leadingReal(text); }

bool isReferencePosition(double latitude, double longitude, double height) {
  return std::isfinite(height) && std::fabs(latitude) <= kHalfPi && std::fabs(longitude) <= kPi;
}

ReferenceAngles recentredReference(double refLat, double refLon, float plotRadius, int32_t x, int32_t y) {
  const float metresPerPixel = toSingle(plotRadius / (kPlotSize * (1.0 / 6)));
  const double latitude = refLat + (kPlotCentre - y) * double(metresPerPixel) / kMeridianNumerator;
  double longitude = refLon + (x - kPlotCentre) * double(metresPerPixel) / (std::cos(refLat) * kSemiMajorAxis);
  longitude = wrapLongitudeDifference(longitude);
  // Close to a pole one pixel can be many turns of longitude.
  if (!(std::fabs(longitude) <= kPi)) longitude = std::remainder(longitude, kTwoPi);
  return ReferenceAngles{std::clamp(latitude, -kHalfPi, kHalfPi), longitude};
}

}  // namespace veltrano
