#include "util/point_ring.h"

#include <new>

namespace veltrano {

bool PointRing::clearPoints() {
  releasePoints();
  if (maxPoints <= 0) return false;
  // Value-initialised: an entry that was never written reads as zeros.
  points_.reset(new (std::nothrow) StoredPoint[size_t(maxPoints)]());
  if (!points_) return false;
  writeIndex_ = 0;
  wrapped_ = false;
  pointCapacity_ = maxPoints;
  return true;
}

void PointRing::releasePoints() {
  pointCapacity_ = 0;
  writeIndex_ = 0;
  wrapped_ = false;
  ++generation_;
  points_.reset();
}

bool PointRing::addPoint(double lat, double lon, double height) {
  const int32_t capacity = pointCapacity_;
  if (capacity == 0) return false;
  const int32_t index = writeIndex_;
  points_[size_t(index)] = StoredPoint{lat, lon, height};
  if (index + 1 == capacity) {
    writeIndex_ = 0;
    wrapped_ = true;
  } else {
    writeIndex_ = index + 1;
  }
  return true;
}

}  // namespace veltrano
