#pragma once
// When the receiver falls silent, vanishes, is unplugged, loses its connection or
// stops its output, in seconds from the moment the other side first opened the
// port (or from the start of a recording written with --write).
#include "sim/sim_options.h"

namespace veltrano::sim {

class FaultPlan {
 public:
  explicit FaultPlan(const SimOptions& options);

  bool silentAt(double seconds) const;
  bool vanishedAt(double seconds) const;
  // The terminal is gone (unplugged) at this time.
  bool unpluggedAt(double seconds) const;
  // The client's connection is to be dropped (once) at this time.
  bool dropDueAt(double seconds) const { return dropAt >= 0 && seconds >= dropAt; }
  // Number of epochs of the whole run; negative: unlimited.
  long long epochLimit() const { return limit; }

 private:
  double silentFrom, silentUntil, vanishAt, unplugFrom, unplugUntil, dropAt;
  long long limit;
};

}  // namespace veltrano::sim
