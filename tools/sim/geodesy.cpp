#include "sim/geodesy.h"

#include <cmath>

#include "util/formatters.h"

namespace veltrano::sim {

namespace {
double primeVerticalRadius(double latitude) {
  const double s = std::sin(latitude);
  return kSemiMajorAxis / std::sqrt(1.0 - kEccentricitySquared * s * s);
}
}  // namespace

Ecef geodeticToEcef(double latitude, double longitude, double height) {
  const double n = primeVerticalRadius(latitude);
  const double c = std::cos(latitude);
  return {(n + height) * c * std::cos(longitude), (n + height) * c * std::sin(longitude),
          (n * (1.0 - kEccentricitySquared) + height) * std::sin(latitude)};
}

Viewpoint::Viewpoint(double latitude, double longitude, const Ecef& position)
    : position(position),
      sinLatitude(std::sin(latitude)),
      cosLatitude(std::cos(latitude)),
      sinLongitude(std::sin(longitude)),
      cosLongitude(std::cos(longitude)) {}

std::optional<LookAngles> lookAngles(const Viewpoint& from, const Ecef& to, double minimumUp) {
  const double dx = to.x - from.position.x, dy = to.y - from.position.y, dz = to.z - from.position.z;
  const double sLat = from.sinLatitude, cLat = from.cosLatitude;
  const double sLon = from.sinLongitude, cLon = from.cosLongitude;
  const double e = -sLon * dx + cLon * dy;
  const double n = -sLat * cLon * dx - sLat * sLon * dy + cLat * dz;
  const double u = cLat * cLon * dx + cLat * sLon * dy + sLat * dz;
  const double range = std::sqrt(e * e + n * n + u * u);
  LookAngles look{};
  look.up = u / range;
  if (look.up < minimumUp) return std::nullopt;
  look.east = e / range;
  look.north = n / range;
  look.elevation = std::asin(look.up);
  look.azimuth = std::atan2(e, n);
  if (look.azimuth < 0) look.azimuth += kTwoPi;
  return look;
}

double metresPerRadianNorth(double latitude, double height) {
  const double s = std::sin(latitude);
  const double w = 1.0 - kEccentricitySquared * s * s;
  return kMeridianNumerator / (w * std::sqrt(w)) + height;
}

double metresPerRadianEast(double latitude, double height) {
  return (primeVerticalRadius(latitude) + height) * std::cos(latitude);
}

}  // namespace veltrano::sim
