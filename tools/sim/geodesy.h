#pragma once
// Earth-centred coordinates of WGS-84 positions and the local east-north-up
// view of a point, for the simulated sky and trajectory.
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

// Direction from a receiver at (latitude, longitude) with Earth-centred position
// `from` to the point `to`.
LookAngles lookAngles(double latitude, double longitude, const Ecef& from, const Ecef& to);

// Metres per radian of latitude and of longitude at a latitude and height.
double metresPerRadianNorth(double latitude, double height);
double metresPerRadianEast(double latitude, double height);

}  // namespace veltrano::sim
