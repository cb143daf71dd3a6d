#pragma once
// Earth-centred coordinates of WGS-84 positions and the local east-north-up
// view of a point, for the simulated sky and trajectory.
#include <optional>

namespace veltrano::sim {

struct Ecef {
  double x, y, z;
};

struct LookAngles {
  double elevation;  // radians
  double azimuth;    // radians, clockwise from north, [0, 2 pi)
  double east, north, up;  // unit line-of-sight components
};

Ecef geodeticToEcef(double latitude, double longitude, double height);

// A receiver's place: its Earth-centred position and the sines and cosines of
// its latitude and longitude, worked out once for all the satellites of an epoch.
struct Viewpoint {
  Viewpoint(double latitude, double longitude, const Ecef& position);
  Ecef position;
  double sinLatitude, cosLatitude, sinLongitude, cosLongitude;
};

// The direction from a receiver to the point `to`; nothing when the up
// component of the line of sight is below `minimumUp` (a satellite under the
// horizon, whose angles, the costly part, are not wanted).
std::optional<LookAngles> lookAngles(const Viewpoint& from, const Ecef& to, double minimumUp);

// Metres per radian of latitude and of longitude at a latitude and height.
double metresPerRadianNorth(double latitude, double height);
double metresPerRadianEast(double latitude, double height);

}  // namespace veltrano::sim
