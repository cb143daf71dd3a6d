#pragma once
// The arithmetic of the Visual window's scatter plot: the 307 x 307 pixel area,
// the radius table of its range rings, the projections of a position onto the
// plane about the reference point, and the points of the gauges.
#include <cstdint>

#include "util/local_plane.h"

namespace veltrano {

// Width and height of the plot area and of its layers.
constexpr int kPlotSize = 307;
constexpr int kPlotCentre = kPlotSize / 2;  // 153
// Positions of the radius selector: 0.01 m to 90000 m.
constexpr int kRadiusPositions = 63;

// R, the radius of the inner ring in metres, for a selector position; positions
// outside 0 to 62 read as the nearest end of the table.
float plotRadiusAt(int position);

// Pixels per metre when the inner ring (radius W/6) is `plotRadius` metres.
float pixelsPerMetreFor(float plotRadius);

struct LocalOffset {
  double north;  // metres
  double east;   // metres
  int32_t x;     // pixel of the plot, east to the right
  int32_t y;     // pixel of the plot, north up
};

// The simple projection (simplePlaneOffset) and the pixel it falls on.
LocalOffset simpleOffset(double latitude, double longitude, double refLat, double refLon, float pixelsPerMetre);

struct PlaneOffset {
  double north;  // metres
  double east;   // metres
};

// The full projection at the reference latitude: the ellipsoid's radii of
// curvature there, raised by the reference height.
PlaneOffset fullOffset(double latitude, double longitude, double refLat, double refLon, double refHeight);

struct PlotPixel {
  int32_t x;
  int32_t y;
};

// The point of a gauge at an angle in degrees (0 down the screen, 90 to the
// right, 180 up) and a radius in pixels from the plot's centre.
PlotPixel gaugePoint(double angleDegrees, int radius);

}  // namespace veltrano
