#pragma once
// --write: the receiver's output of --duration seconds written to a file at once,
// the same bytes it would send on the terminal from the moment it was opened.
#include "sim/sim_options.h"

namespace veltrano::sim {

// Returns the exit status.
int writeRecording(const SimOptions& options);

}  // namespace veltrano::sim
