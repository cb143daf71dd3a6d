#include "displays/plot_geometry.h"

#include <array>
#include <cmath>

#include "util/formatters.h"

namespace veltrano {

namespace {

// R = (p mod 9 + 1) x 10^(p div 9 - 2) metres, held in single precision.
constexpr std::array<float, kRadiusPositions> makeRadiusTable() {
  std::array<float, kRadiusPositions> table{};
  for (int p = 0; p < kRadiusPositions; ++p) {
    const int decade = p / 9 - 2;
    double value = p % 9 + 1;
    if (decade < 0) value /= decade == -1 ? 10.0 : 100.0;
    for (int i = 0; i < decade; ++i) value *= 10;
    table[size_t(p)] = float(value);
  }
  return table;
}

constexpr std::array<float, kRadiusPositions> kRadiusTable = makeRadiusTable();

}  // namespace

float plotRadiusAt(int position) {
  if (position < 0) position = 0;
  if (position >= kRadiusPositions) position = kRadiusPositions - 1;
  return kRadiusTable[size_t(position)];
}

float pixelsPerMetreFor(float plotRadius) { return float(kPlotSize * (1.0 / 6) / plotRadius); }

LocalOffset simpleOffset(double latitude, double longitude, double refLat, double refLon, float pixelsPerMetre) {
  const PlaneMetres metres = simplePlaneOffset(latitude, longitude, refLat, refLon);
  LocalOffset offset{};
  offset.north = metres.north;
  offset.east = metres.east;
  offset.y = truncToInt(-offset.north * pixelsPerMetre + kPlotCentre);
  offset.x = truncToInt(offset.east * pixelsPerMetre + kPlotCentre);
  return offset;
}

PlaneOffset fullOffset(double latitude, double longitude, double refLat, double refLon, double refHeight) {
  const double d = wrapLongitudeDifference(longitude - refLon);
  const double s = std::sin(refLat);
  const double w = std::sqrt(1 - kEccentricitySquared * s * s);
  const double meridianRadius = kMeridianNumerator / (w * w * w) + refHeight;
  const double parallelRadius = std::cos(refLat) * (kSemiMajorAxis / w + refHeight);
  return PlaneOffset{(latitude - refLat) * meridianRadius, parallelRadius * d};
}

PlotPixel gaugePoint(double angleDegrees, int radius) {
  const double angle = angleDegrees * kPi / 180;
  return PlotPixel{truncToInt(std::sin(angle) * radius + kPlotCentre),
                   truncToInt(std::cos(angle) * radius + kPlotCentre)};
}

}  // namespace veltrano
