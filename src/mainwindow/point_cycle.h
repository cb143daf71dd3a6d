#pragma once
// The point store's replay thread: walks the ring oldest point first and hands
// each index to the main thread, which draws the point, then hands over the end
// of the pass; between passes it waits for the next request. It never draws and
// never writes the ring; every hand-off blocks until the main thread has run it.
#include <QMutex>
#include <QThread>
#include <QWaitCondition>
#include <atomic>
#include <cstdint>
#include <functional>

#include "util/point_ring.h"

namespace veltrano {

class TPointCycle : public QThread {
  Q_OBJECT
 public:
  // Runs on the main thread for entry `index` of the ring of `generation`;
  // returns false to end the pass (the ring it walks is gone).
  using PointHandOff = std::function<bool(int32_t index, uint32_t generation)>;
  // Runs on the main thread when a pass over the ring of `generation` is over,
  // drawn to its end or ended by the point hand-off, and no newer pass was
  // requested meanwhile.
  using PassEndHandOff = std::function<void(uint32_t generation)>;

  // Not started yet; the first pass runs once a pass is requested.
  TPointCycle(const PointRing& ring, PointHandOff point, PassEndHandOff end);

  // Wakes the waiting thread for a pass; a pass that is running starts again
  // from the oldest point.
  void requestPass();
  // No pass is running or asked for: the thread waits for a request.
  bool idle() const;
  // Ends the thread before its next hand-off; a waiting thread is released.
  void requestTermination();

 protected:
  void run() override { Execute(); }

 private:
  enum class PassOutcome { Ended, Restarted, Terminated };

  void Execute();
  // Waits for a request and takes it; false once termination was requested.
  bool takeRequest();
  PassOutcome replayPass(uint32_t generation);
  // Hands entries first to last - 1 over, the bound read afresh at every test.
  PassOutcome replayRange(int32_t first, const std::function<int32_t()>& last, uint32_t generation);
  void handOver(const std::function<void()>& work);

  const PointRing& ring_;
  PointHandOff point_;
  PassEndHandOff end_;
  mutable QMutex mutex_;
  QWaitCondition wake_;
  bool waiting_ = true;
  std::atomic<bool> requested_{false};
  std::atomic<bool> terminated_{false};
};

}  // namespace veltrano
