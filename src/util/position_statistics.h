#pragma once
// Running means and RMS values of the positions accepted by the Statistic window.
#include <cstdint>

namespace veltrano {

struct PositionStatistics {
  int32_t count = 0;
  double meanLat = 0;         // radians
  double meanLon = 0;         // radians, kept in [-pi, pi]
  double meanHeight = 0;      // metres
  double varNorth = 0;        // m^2
  double varEast = 0;         // m^2
  double varUp = 0;           // m^2
  double meanSquareSpeed = 0;
};

struct PositionSampleResult {
  int32_t count;
  double meanLat;
  double meanLon;
  double meanHeight;
  double rms2D;
  double rmsH;
  double rmsV;
};

void resetPositionStatistics(PositionStatistics& stats);

// Adds one sample; latitude and longitude in radians, height in metres, the
// speed in whatever unit the caller wants rmsV in.
PositionSampleResult addPositionSample(PositionStatistics& stats, double latitude, double longitude, double height,
                                       double speed);

}  // namespace veltrano
