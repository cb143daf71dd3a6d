#include "util/position_statistics.h"

#include <cmath>

#include "util/formatters.h"

namespace veltrano {

namespace {
// A longitude or a difference of two brought into [-pi, pi], however many turns
// away it is: a corrupted record can give any longitude. Exact, and so the same
// as one turn added or taken off for the angles within three turns.
double wrapLongitude(double d) { return std::remainder(d, kTwoPi); }
}  // namespace

void resetPositionStatistics(PositionStatistics& stats) { stats = PositionStatistics{}; }

PositionSampleResult addPositionSample(PositionStatistics& s, double lat, double lon, double h, double v) {
  // Radii of curvature at the sample's own latitude and height.
  const double sinLat = std::sin(lat);
  const double w = std::sqrt(1 - kEccentricitySquared * sinLat * sinLat);
  const double mh = kMeridianNumerator / (w * w * w) + h;
  const double nh = (kSemiMajorAxis / w + h) * std::cos(lat);

  // The counter saturates rather than wrapping after two thousand million samples.
  if (s.count < 2147483647) s.count += 1;
  const double n = s.count;

  const double d = wrapLongitude(lon - s.meanLon);
  s.meanLat += (lat - s.meanLat) / n;
  s.meanLon = wrapLongitude(s.meanLon + d / n);
  s.meanHeight += (h - s.meanHeight) / n;

  const double e = wrapLongitude(lon - s.meanLon);
  const double north = (lat - s.meanLat) * mh;
  const double east = e * nh;
  const double up = h - s.meanHeight;
  s.varNorth = (n - 1) * s.varNorth / n + north * north / n;
  s.varEast = (n - 1) * s.varEast / n + east * east / n;
  s.varUp = (n - 1) * s.varUp / n + up * up / n;
  s.meanSquareSpeed = (n - 1) * s.meanSquareSpeed / n + v * v / n;

  return {s.count, s.meanLat, s.meanLon, s.meanHeight, std::sqrt(s.varNorth + s.varEast), std::sqrt(s.varUp),
          std::sqrt(s.meanSquareSpeed)};
}

}  // namespace veltrano
