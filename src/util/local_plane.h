#pragma once
// The plane about a reference point on which the Visual plot places its dots,
// and on which the accuracy figures measure horizontal errors: spherical radii,
// no height.
namespace veltrano {

// A longitude difference brought into -pi to pi by one turn at most.
double wrapLongitudeDifference(double d);

struct PlaneMetres {
  double north;  // metres
  double east;   // metres
};

// The offset of a position from the reference (radians in, metres out): north
// along the meridian radius a(1 - e^2), east along the parallel of the
// position's own latitude on a sphere of the semi-major axis.
PlaneMetres simplePlaneOffset(double latitude, double longitude, double refLat, double refLon);

}  // namespace veltrano
