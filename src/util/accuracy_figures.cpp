#include "util/accuracy_figures.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "util/local_plane.h"

namespace veltrano {

double horizontalError(double latitude, double longitude, const PositionCentre& centre) {
  const PlaneMetres offset = simplePlaneOffset(latitude, longitude, centre.latitude, centre.longitude);
  return std::hypot(offset.north, offset.east);
}

double verticalError(double height, const PositionCentre& centre) { return std::fabs(height - centre.height); }

ErrorSample::ErrorSample(size_t count) { errors_.reserve(count); }

void ErrorSample::add(double error) {
  if (std::isnan(error)) error = std::numeric_limits<double>::infinity();
  errors_.push_back(error);
  sumOfSquares_ += error * error;
  largest_ = std::max(largest_, error);
}

void ErrorSample::clear() {
  errors_.clear();
  sumOfSquares_ = 0;
  largest_ = 0;
}

double ErrorSample::percentile(int percent) {
  if (errors_.empty()) return 0;
  const size_t n = errors_.size();
  // ceil(percent * n / 100) in whole numbers: no rounding can move the rank.
  const size_t rank = std::clamp<size_t>((size_t(std::clamp(percent, 1, 100)) * n + 99) / 100, 1, n);
  const auto nth = errors_.begin() + std::ptrdiff_t(rank - 1);
  std::nth_element(errors_.begin(), nth, errors_.end());
  return *nth;
}

double ErrorSample::rootMeanSquare() const {
  return errors_.empty() ? 0 : std::sqrt(sumOfSquares_ / double(errors_.size()));
}

void readHorizontalFigures(ErrorSample& horizontal, AccuracyFigures& figures) {
  figures.cep50 = horizontal.percentile(50);
  figures.cep95 = horizontal.percentile(95);
  figures.drms2 = 2 * horizontal.rootMeanSquare();
  figures.hmax = horizontal.largest();
}

void readVerticalFigures(ErrorSample& vertical, AccuracyFigures& figures) {
  figures.v50 = vertical.percentile(50);
  figures.v95 = vertical.percentile(95);
}

}  // namespace veltrano
