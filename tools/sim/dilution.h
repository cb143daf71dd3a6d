#pragma once
// Dilution of precision of a set of line-of-sight unit vectors with one receiver
// clock unknown.
namespace veltrano::sim {

struct LineOfSight {
  double east, north, up;
};

struct Dilution {
  double hdop, vdop, pdop;
};

// False when fewer than four directions are given or the geometry is singular.
bool dilutionOfPrecision(const LineOfSight* directions, int count, Dilution& out);

}  // namespace veltrano::sim
