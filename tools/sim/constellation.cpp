#include "sim/constellation.h"

#include <cmath>

#include "util/formatters.h"

namespace veltrano::sim {

namespace {
constexpr double kEarthGm = 3.986004418e14;
constexpr double kEarthRotation = 7.2921151467e-5;
constexpr double kGeoRadius = 42164000.0;
constexpr double kDeg = kPi / 180.0;

struct GeoSatellite {
  uint8_t number;
  double longitude;
};
constexpr GeoSatellite kSbas[] = {{120, -15.5}, {123, 31.5}, {125, -16.0}, {126, 25.0}, {127, 55.0},
                                  {129, 140.0}, {131, -117.0}, {133, -129.0}, {136, 5.0}, {138, -107.3},
                                  {140, 95.0}, {141, 167.0}};
}  // namespace

Constellation::Constellation(uint8_t systems) {
  if (systems & systemBit(GnssSystem::Gps)) addWalker(GnssSystem::Gps, 6, 5, 1, 26559700.0, 55.0, 0.0);
  if (systems & systemBit(GnssSystem::Glonass)) addWalker(GnssSystem::Glonass, 3, 8, 1, 25508200.0, 64.8, 20.0);
  if (systems & systemBit(GnssSystem::Galileo)) addWalker(GnssSystem::Galileo, 3, 8, 1, 29600300.0, 56.0, 40.0);
  if (systems & systemBit(GnssSystem::Beidou)) addWalker(GnssSystem::Beidou, 3, 8, 19, 27906100.0, 55.0, 70.0);
  if (systems & systemBit(GnssSystem::Sbas))
    for (const GeoSatellite& g : kSbas) addGeostationary(g.number, g.longitude);
}

void Constellation::addWalker(GnssSystem system, int planes, int perPlane, uint8_t firstNumber, double radius,
                              double inclinationDeg, double nodeOffsetDeg) {
  const int total = planes * perPlane;
  for (int p = 0; p < planes; ++p) {
    for (int k = 0; k < perPlane && count < kMaxSlots; ++k) {
      OrbitSlot& s = slots[count++];
      s.system = system;
      s.number = uint8_t(firstNumber + p * perPlane + k);
      s.radius = radius;
      s.inclination = inclinationDeg * kDeg;
      s.node = (nodeOffsetDeg + 360.0 * p / planes) * kDeg;
      s.phase = kTwoPi * (double(k) / perPlane + double(p) / total);
      s.meanMotion = std::sqrt(kEarthGm / (radius * radius * radius));
      s.geoLongitude = 0;
      s.cosNode = std::cos(s.node);
      s.sinNode = std::sin(s.node);
      s.cosInclination = std::cos(s.inclination);
      s.sinInclination = std::sin(s.inclination);
    }
  }
}

void Constellation::addGeostationary(uint8_t number, double longitudeDeg) {
  if (count >= kMaxSlots) return;
  OrbitSlot& s = slots[count++];
  s = OrbitSlot{};
  s.system = GnssSystem::Sbas;
  s.number = number;
  s.radius = kGeoRadius;
  s.geoLongitude = longitudeDeg * kDeg;
  s.cosNode = std::cos(s.geoLongitude);
  s.sinNode = std::sin(s.geoLongitude);
}

Constellation::EarthAngle::EarthAngle(double seconds) : gpsSeconds(seconds) {
  const double theta = std::fmod(kEarthRotation * seconds, kTwoPi);
  cosTheta = std::cos(theta);
  sinTheta = std::sin(theta);
}

Ecef Constellation::position(int i, const EarthAngle& at) const {
  const OrbitSlot& s = slots[i];
  // A geostationary satellite's node angles are those of its longitude.
  if (s.meanMotion == 0) return {s.radius * s.cosNode, s.radius * s.sinNode, 0.0};
  const double u = s.phase + std::fmod(s.meanMotion * at.gpsSeconds, kTwoPi);
  const double cu = std::cos(u), su = std::sin(u);
  const double cn = s.cosNode, sn = s.sinNode;
  const double ci = s.cosInclination, si = s.sinInclination;
  const double x = s.radius * (cn * cu - sn * su * ci);
  const double y = s.radius * (sn * cu + cn * su * ci);
  const double z = s.radius * su * si;
  const double ct = at.cosTheta, st = at.sinTheta;
  return {ct * x + st * y, -st * x + ct * y, z};
}

}  // namespace veltrano::sim
