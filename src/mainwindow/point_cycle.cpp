#include "mainwindow/point_cycle.h"

namespace veltrano {

TPointCycle::TPointCycle(const PointRing& ring, PointHandOff point, PassEndHandOff end)
    : ring_(ring), point_(std::move(point)), end_(std::move(end)) {}

void TPointCycle::requestPass() {
  const QMutexLocker lock(&mutex_);
  requested_ = true;
  wake_.wakeAll();
}

bool TPointCycle::idle() const {
  const QMutexLocker lock(&mutex_);
  return waiting_ && !requested_;
}

void TPointCycle::requestTermination() {
  const QMutexLocker lock(&mutex_);
  terminated_ = true;
  wake_.wakeAll();
}

bool TPointCycle::takeRequest() {
  QMutexLocker lock(&mutex_);
  waiting_ = true;
  while (!requested_ && !terminated_) wake_.wait(&mutex_);
  waiting_ = false;
  requested_ = false;
  return !terminated_;
}

void TPointCycle::handOver(const std::function<void()>& work) {
  QMetaObject::invokeMethod(this, work, Qt::BlockingQueuedConnection);
}

TPointCycle::PassOutcome TPointCycle::replayRange(int32_t first, const std::function<int32_t()>& last,
                                                  uint32_t generation) {
  for (int32_t i = first; i < last(); ++i) {
    if (terminated_) return PassOutcome::Terminated;
    if (requested_) return PassOutcome::Restarted;
    // A request made while this hand-off was on its way came with a fresh
    // plot: the point is left for the next pass, which draws it there.
    bool restarted = false;
    bool drawn = false;
    handOver([&] {
      restarted = requested_;
      if (!restarted) drawn = point_(i, generation);
    });
    if (restarted) return PassOutcome::Restarted;
    if (!drawn) return PassOutcome::Ended;
  }
  return terminated_ ? PassOutcome::Terminated : PassOutcome::Ended;
}

// Oldest first: the entries ahead of the write index once the ring has
// wrapped, then those behind it. Points added meanwhile are drawn too when
// they land ahead of the pass.
TPointCycle::PassOutcome TPointCycle::replayPass(uint32_t generation) {
  if (ring_.wrapped()) {
    const PassOutcome older =
        replayRange(ring_.writeIndex(), [this] { return ring_.pointCapacity(); }, generation);
    if (older != PassOutcome::Ended) return older;
  }
  return replayRange(0, [this] { return ring_.writeIndex(); }, generation);
}

void TPointCycle::Execute() {
  while (takeRequest()) {
    const uint32_t generation = ring_.generation();
    const PassOutcome outcome = replayPass(generation);
    if (outcome == PassOutcome::Terminated) return;
    // A request taken by now starts the next pass at once (requests are made
    // on the main thread, so none slips in while the end is handed over); the
    // pass's end then waits for the end of that one.
    if (outcome == PassOutcome::Ended) handOver([&] {
        if (!requested_) end_(generation);
      });
  }
}

}  // namespace veltrano
