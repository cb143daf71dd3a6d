#include "util/local_plane.h"

#include <cmath>

#include "util/formatters.h"

namespace veltrano {

double wrapLongitudeDifference(double d) {
  if (d > kPi) d -= kTwoPi;
  if (d < -kPi) d += kTwoPi;
  return d;
}

PlaneMetres simplePlaneOffset(double latitude, double longitude, double refLat, double refLon) {
  const double d = wrapLongitudeDifference(longitude - refLon);
  return PlaneMetres{(latitude - refLat) * kMeridianNumerator, std::cos(latitude) * kSemiMajorAxis * d};
}

}  // namespace veltrano
