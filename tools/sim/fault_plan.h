#pragma once
// When the receiver falls silent, vanishes or stops its output, in seconds from
// the moment the other side first opened the terminal (or from the start of a
// recording written with --write).
#include "sim/sim_options.h"

namespace veltrano::sim {

class FaultPlan {
 public:
  explicit FaultPlan(const SimOptions& options);

  bool silentAt(double seconds) const;
  bool vanishedAt(double seconds) const;
  // The terminal is gone (unplugged) at this time.
  bool unpluggedAt(double seconds) const;
  // Number of epochs of the whole run; negative: unlimited.
  long long epochLimit() const { return limit; }

 private:
  double silentFrom, silentUntil, vanishAt, unplugFrom, unplugUntil;
  long long limit;
};

}  // namespace veltrano::sim
