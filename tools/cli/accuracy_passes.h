#pragma once
// The accuracy figures of the solutions the Statistic window accepts from a
// set of recordings. The recordings are played three times, so that no more
// than one number per accepted solution is ever kept: once for the window's
// own figures (the mean and the count), then once for the horizontal errors
// and once for the vertical ones.
#include <optional>

#include "recordings.h"
#include "util/accuracy_figures.h"

namespace veltrano {

// The figures about `reference` or, without one, about the window's mean
// position. `window` is left with the first playback's filter and figures.
// False after a message when a recording could not be read.
bool measureAccuracy(Recordings& recordings, const StatisticOptions& options,
                     const std::optional<PositionCentre>& reference, FreshFilter& window, AccuracyFigures& figures);

}  // namespace veltrano
