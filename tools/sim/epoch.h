#pragma once
// One navigation epoch of the simulated receiver: the solution it reports and
// the satellites it sees. The writers of the three protocols format it.
#include <cstdint>

namespace veltrano::sim {

enum class GnssSystem : uint8_t { Gps, Glonass, Galileo, Beidou, Sbas };
constexpr int kSystemCount = 5;
constexpr uint8_t systemBit(GnssSystem system) { return uint8_t(1u << uint8_t(system)); }
constexpr uint8_t kAllSystems = 0x1F;

struct SkySatellite {
  GnssSystem system;
  uint8_t number;       // PRN, GLONASS slot, SBAS PRN (120...)
  double elevation;     // degrees
  double azimuth;       // degrees [0, 360)
  int snr;              // dB-Hz
  bool used;            // in the solution
  bool rejected;        // above the mask but left out of the solution
};

constexpr int kMaxSkySatellites = 128;

struct Epoch {
  int64_t index = 0;
  int64_t gpsMillis = 0;       // GPS time of the solution
  bool satellitesDue = false;  // satellites-in-view messages go out (once a second)

  double latitude = 0, longitude = 0;  // radians
  double height = 0;                   // metres above mean sea level
  double geoidSeparation = 0;          // metres, ellipsoid above geoid
  double velocityNorth = 0, velocityEast = 0, velocityUp = 0;  // m/s

  bool valid = false;
  bool differential = false;
  double differentialAge = 0;   // seconds
  uint32_t correctionCount = 0; // differential corrections received so far

  double hdop = 0, vdop = 0, pdop = 0;
  double sigmaNorth = 0, sigmaEast = 0, sigmaUp = 0;  // expected errors, metres
  double rmsError = 0;                                // horizontal, metres

  int usedBySystem[kSystemCount] = {};
  int usedCount = 0;

  int satCount = 0;
  SkySatellite sats[kMaxSkySatellites] = {};
};

}  // namespace veltrano::sim
