#pragma once
// The simulated receiver's world: a static or moving antenna, the sky of the
// selected systems, signal levels, the solution's geometry and its noise (white
// noise at metre level on top of a slow wander). Epochs are computed in order.
#include <cstdint>

#include "sim/constellation.h"
#include "sim/epoch.h"
#include "sim/random_source.h"
#include "sim/sim_options.h"

namespace veltrano::sim {

class Scenario {
 public:
  explicit Scenario(const SimOptions& options);

  // Fills the next epoch (index 0 first).
  void computeEpoch(Epoch& epoch);

 private:
  void advanceTrack(double dt);
  void fillSky(Epoch& epoch);
  void addNoise(Epoch& epoch, double dt);

  const SimOptions& options;
  Constellation constellation;
  RandomSource noise;
  double snrOffset[Constellation::kMaxSlots] = {};
  int64_t nextIndex = 0;
  double trueLatitude, trueLongitude;  // radians
  double heading;                      // radians
  double wander[3] = {};               // north, east, up, metres
};

}  // namespace veltrano::sim
