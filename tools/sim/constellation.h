#pragma once
// Circular-orbit model of the GPS, GLONASS, Galileo and BeiDou constellations and
// the geostationary SBAS satellites, enough for a plausible moving sky.
#include <cstdint>

#include "sim/epoch.h"
#include "sim/geodesy.h"

namespace veltrano::sim {

struct OrbitSlot {
  GnssSystem system;
  uint8_t number;
  double radius;       // metres
  double inclination;  // radians
  double node;         // right ascension of the ascending node, radians
  double phase;        // argument of latitude at time 0, radians
  double meanMotion;   // radians per second; 0 for a geostationary satellite
  double geoLongitude; // radians, geostationary satellites only
  // The sines and cosines of the fixed angles, worked out once.
  double cosNode, sinNode, cosInclination, sinInclination;
};

class Constellation {
 public:
  static constexpr int kMaxSlots = 128;

  // The satellites of the systems whose bits are set.
  explicit Constellation(uint8_t systems);

  int size() const { return count; }
  const OrbitSlot& slot(int i) const { return slots[i]; }

  // The Earth's rotation at a GPS time in seconds, the same for every satellite.
  struct EarthAngle {
    explicit EarthAngle(double gpsSeconds);
    double gpsSeconds, cosTheta, sinTheta;
  };
  // Earth-centred, Earth-fixed position at that time.
  Ecef position(int i, const EarthAngle& at) const;

 private:
  void addWalker(GnssSystem system, int planes, int perPlane, uint8_t firstNumber, double radius,
                 double inclinationDeg, double nodeOffsetDeg);
  void addGeostationary(uint8_t number, double longitudeDeg);

  OrbitSlot slots[kMaxSlots] = {};
  int count = 0;
};

}  // namespace veltrano::sim
