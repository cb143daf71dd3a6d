#include "accuracy_passes.h"

#include <cstdint>

namespace veltrano {

bool measureAccuracy(Recordings& recordings, const StatisticOptions& options,
                     const std::optional<PositionCentre>& reference, FreshFilter& window, AccuracyFigures& figures) {
  int64_t accepted = 0;
  if (!recordings.playThroughWindow(options, window.filter, [&accepted](const Fix&) { ++accepted; })) return false;
  const StatisticFilter& mean = window.filter;
  const PositionCentre centre = reference ? *reference
                                          : PositionCentre{mean.meanLat(), mean.meanLon(), mean.meanHeight()};

  ErrorSample errors{size_t(accepted)};
  // One playback, each accepted solution's error into `errors`.
  const auto collect = [&](auto error) {
    return recordings.playAccepted(options, [&](const Fix& f) { errors.add(error(f)); });
  };
  if (!collect([&](const Fix& f) { return horizontalError(f.latitude, f.longitude, centre); })) return false;
  readHorizontalFigures(errors, figures);
  errors.clear();
  if (!collect([&](const Fix& f) { return verticalError(f.height, centre); })) return false;
  readVerticalFigures(errors, figures);
  return true;
}

}  // namespace veltrano
