#pragma once
// The point store's ring: the most recent plotted positions, kept so that the
// Visual plot can be drawn again after its reference point or scale changed.
// Written only on the main thread; the replay thread reads the bounds
// (capacity, write index, wrapped) for its loop tests, so they are atomic.
#include <atomic>
#include <cstdint>
#include <memory>

namespace veltrano {

struct StoredPoint {
  double lat = 0;     // radians
  double lon = 0;     // radians
  double height = 0;  // metres
};

class PointRing {
 public:
  static constexpr int32_t kDefaultMaxPoints = 10000;
  // The largest capacity the Options window can enter.
  static constexpr int32_t kLargestMaxPoints = 999999;

  // The capacity the next clearPoints allocates; the settings file and the
  // Options window read and write it. 0 (or less) leaves the store disabled.
  int32_t maxPoints = kDefaultMaxPoints;

  // A new, empty ring of maxPoints entries. False when it cannot be
  // allocated: the store stays disabled until a later clearPoints succeeds.
  bool clearPoints();
  // Frees the ring: nothing is stored or replayed until the next clearPoints.
  void releasePoints();
  // Stores a position, overwriting the oldest once the ring is full; false,
  // storing nothing, while the store is disabled.
  bool addPoint(double lat, double lon, double height);

  int32_t pointCapacity() const { return pointCapacity_.load(); }
  // The entry the next point goes to.
  int32_t writeIndex() const { return writeIndex_.load(); }
  // The ring has been filled at least once: entries writeIndex to
  // pointCapacity - 1 hold older points than entries 0 to writeIndex - 1.
  bool wrapped() const { return wrapped_.load(); }
  // Counts the rings: it changes whenever the ring is freed, so a replay can
  // tell that the indices it walks belong to a ring that is gone.
  uint32_t generation() const { return generation_.load(); }
  // Entry `index`, 0 <= index < pointCapacity; main thread only.
  const StoredPoint& point(int32_t index) const { return points_[size_t(index)]; }

 private:
  std::unique_ptr<StoredPoint[]> points_;
  std::atomic<int32_t> pointCapacity_{0};
  std::atomic<int32_t> writeIndex_{0};
  std::atomic<bool> wrapped_{false};
  std::atomic<uint32_t> generation_{0};
};

}  // namespace veltrano
