#include "sim/scenario.h"

#include <algorithm>
#include <cmath>

#include "sim/dilution.h"
#include "sim/geodesy.h"
#include "util/formatters.h"

namespace veltrano::sim {

namespace {
constexpr double kDeg = kPi / 180.0;
constexpr double kGeoidSeparation = 14.6;   // metres
constexpr double kVisibleElevation = 3.0;   // degrees
constexpr double kMaskElevation = 10.0;     // degrees
// A line of sight whose up component is below this is under kVisibleElevation
// for certain: its angles are not worked out. The margin leaves the angles near
// the edge to the comparison of the elevation itself.
const double kVisibleUp = std::sin(kVisibleElevation * kDeg) - 1e-9;
constexpr int kMinUsedSnr = 30;             // dB-Hz
constexpr int kMaxUsedPerSystem = 12;       // one GSA sentence's worth
constexpr double kWanderTime = 300.0;       // seconds
constexpr double kWanderSigma[3] = {1.5, 1.5, 2.5};
constexpr double kCorrectionPeriod = 2.0;   // seconds between differential corrections
}  // namespace

Scenario::Scenario(const SimOptions& opts)
    : options(opts),
      constellation(opts.systems),
      noise(opts.seed),
      trueLatitude(opts.latitude * kDeg),
      trueLongitude(opts.longitude * kDeg),
      heading(opts.course * kDeg) {
  RandomSource offsets(opts.seed ^ 0x5A17E11175EEDull);
  for (double& o : snrOffset) o = -5.0 + 7.0 * offsets.uniform();
}

void Scenario::computeEpoch(Epoch& epoch) {
  const double dt = 1.0 / options.rate;
  epoch.index = nextIndex++;
  epoch.gpsMillis = options.startGpsMillis + epoch.index * 1000 / options.rate;
  epoch.satellitesDue = epoch.index % options.rate == 0;
  if (epoch.index > 0) advanceTrack(dt);
  fillSky(epoch);
  addNoise(epoch, dt);

  const double t = double(epoch.index) / options.rate;
  epoch.differential = options.differential && epoch.valid;
  epoch.correctionCount = options.differential ? uint32_t(t / kCorrectionPeriod) + 1 : 0;
  epoch.differentialAge = options.differential ? 0.5 + std::fmod(t, kCorrectionPeriod) : 0.0;
}

void Scenario::advanceTrack(double dt) {
  heading += options.turnRate * kDeg * dt;
  const double north = options.speed * std::cos(heading) * dt;
  const double east = options.speed * std::sin(heading) * dt;
  trueLatitude += north / metresPerRadianNorth(trueLatitude, options.height);
  trueLongitude += east / metresPerRadianEast(trueLatitude, options.height);
  if (trueLongitude > kPi) trueLongitude -= kTwoPi;
  if (trueLongitude < -kPi) trueLongitude += kTwoPi;
}

void Scenario::fillSky(Epoch& epoch) {
  const double gpsSeconds = double(epoch.gpsMillis) * 0.001;
  const Viewpoint antenna(trueLatitude, trueLongitude,
                          geodeticToEcef(trueLatitude, trueLongitude, options.height + kGeoidSeparation));
  const Constellation::EarthAngle earth(gpsSeconds);
  LineOfSight used[kMaxSkySatellites];
  int usedCount = 0;
  epoch.satCount = 0;
  std::fill(std::begin(epoch.usedBySystem), std::end(epoch.usedBySystem), 0);
  for (int i = 0; i < constellation.size() && epoch.satCount < kMaxSkySatellites; ++i) {
    const OrbitSlot& slot = constellation.slot(i);
    const std::optional<LookAngles> seen = lookAngles(antenna, constellation.position(i, earth), kVisibleUp);
    if (!seen) continue;
    const LookAngles& look = *seen;
    const double elevation = look.elevation / kDeg;
    if (elevation < kVisibleElevation) continue;
    const double level = 28.0 + 22.0 * std::sin(look.elevation) + snrOffset[i] + 0.7 * noise.gaussian();
    SkySatellite& sat = epoch.sats[epoch.satCount++];
    sat.system = slot.system;
    sat.number = slot.number;
    sat.elevation = elevation;
    sat.azimuth = look.azimuth / kDeg;
    sat.snr = std::clamp(int(std::lround(level)), 15, 55);
    const bool candidate = slot.system != GnssSystem::Sbas && elevation >= kMaskElevation;
    int& systemUsed = epoch.usedBySystem[int(slot.system)];
    sat.used = candidate && sat.snr >= kMinUsedSnr && systemUsed < kMaxUsedPerSystem;
    sat.rejected = candidate && !sat.used;
    if (sat.used) {
      ++systemUsed;
      used[usedCount++] = {look.east, look.north, look.up};
    }
  }
  epoch.usedCount = usedCount;
  Dilution dop{};
  epoch.valid = dilutionOfPrecision(used, usedCount, dop);
  if (!epoch.valid) dop = {99.9, 99.9, 99.9};
  epoch.hdop = dop.hdop;
  epoch.vdop = dop.vdop;
  epoch.pdop = dop.pdop;
}

void Scenario::addNoise(Epoch& epoch, double dt) {
  const bool plain = options.noiseHorizontal >= 0;
  const double scale = plain ? 0.0 : options.differential ? 0.3 : 1.0;
  const double a = std::exp(-dt / kWanderTime);
  const double b = std::sqrt(1.0 - a * a);
  for (int k = 0; k < 3; ++k) wander[k] = a * wander[k] + b * kWanderSigma[k] * scale * noise.gaussian();
  const double whiteH = plain ? options.noiseHorizontal : 0.5 * epoch.hdop * scale;
  const double whiteV = plain ? options.noiseVertical : 0.8 * epoch.vdop * scale;
  const double north = wander[0] + whiteH * noise.gaussian();
  const double east = wander[1] + whiteH * noise.gaussian();
  const double up = wander[2] + whiteV * noise.gaussian();

  epoch.latitude = trueLatitude + north / metresPerRadianNorth(trueLatitude, options.height);
  epoch.longitude = trueLongitude + east / metresPerRadianEast(trueLatitude, options.height);
  epoch.height = options.height + up;
  epoch.geoidSeparation = kGeoidSeparation;

  epoch.velocityNorth = options.speed * std::cos(heading) + 0.03 * noise.gaussian();
  epoch.velocityEast = options.speed * std::sin(heading) + 0.03 * noise.gaussian();
  epoch.velocityUp = 0.05 * noise.gaussian();

  epoch.sigmaNorth = std::hypot(scale * kWanderSigma[0], whiteH);
  epoch.sigmaEast = std::hypot(scale * kWanderSigma[1], whiteH);
  epoch.sigmaUp = std::hypot(scale * kWanderSigma[2], whiteV);
  epoch.rmsError = std::hypot(epoch.sigmaNorth, epoch.sigmaEast);
}

}  // namespace veltrano::sim
