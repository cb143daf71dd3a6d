#include "sim/fault_plan.h"

#include <cmath>

namespace veltrano::sim {

FaultPlan::FaultPlan(const SimOptions& options)
    : silentFrom(options.silentAfter),
      silentUntil(options.silentFor < 0 ? INFINITY : options.silentAfter + options.silentFor),
      vanishAt(options.vanishAfter),
      unplugFrom(options.unplugAfter),
      unplugUntil(options.unplugAfter + options.unplugFor),
      dropAt(options.dropAfter),
      limit(options.duration < 0 ? -1 : std::llround(options.duration * options.rate)) {}

bool FaultPlan::silentAt(double seconds) const {
  return silentFrom >= 0 && seconds >= silentFrom && seconds < silentUntil;
}

bool FaultPlan::vanishedAt(double seconds) const { return vanishAt >= 0 && seconds >= vanishAt; }

bool FaultPlan::unpluggedAt(double seconds) const {
  return unplugFrom >= 0 && seconds >= unplugFrom && seconds < unplugUntil;
}

}  // namespace veltrano::sim
