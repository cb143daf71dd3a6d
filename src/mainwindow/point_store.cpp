#include "mainwindow/point_store.h"

#include "link/thread_wait.h"
#include "mainwindow/playback.h"

namespace veltrano {

PointStore::PointStore(PointRing& ring, TransportFields& transport, Playback& playback, TVisualForm& visual,
                       std::function<MeanPosition()> mean)
    : ring_(ring), transport_(transport), playback_(playback), visual_(visual), mean_(std::move(mean)) {}

PointStore::~PointStore() {
  closing_ = true;
  if (cycle_) {
    cycle_->requestTermination();
    // A hand-off the thread waits in is served (and does nothing) until it has ended.
    waitServingHandOffs(*cycle_);
    cycle_.reset();
  }
  releasePoints();
}

void PointStore::redrawStoredPoints() {
  if (ring_.pointCapacity() == 0) return;
  switch (transport_.transportState) {
    case TransportState::PLAY:
      playback_.PauseButtonClick();
      resumeMode_ = ResumeMode::Play;
      break;
    case TransportState::FF:
      playback_.PauseButtonClick();
      resumeMode_ = ResumeMode::FastPlay;
      break;
    case TransportState::PAUSE:
      // Paused by the user, or by a replay that is still running.
      break;
    default:
      resumeMode_ = ResumeMode::None;
      break;
  }
  if (!cycle_) {
    cycle_ = std::make_unique<TPointCycle>(
        ring_, [this](int32_t index, uint32_t generation) { return drawPoint(index, generation); },
        [this](uint32_t generation) { endPass(generation); });
    cycle_->start();
  }
  cycle_->requestPass();
}

// A point of a ring that has been replaced or freed is not read: its entry may
// be one the new ring has not written.
bool PointStore::drawPoint(int32_t index, uint32_t generation) {
  if (closing_ || generation != ring_.generation() || index >= ring_.pointCapacity()) return false;
  const StoredPoint& point = ring_.point(index);
  const LocalOffset offset = visual_.localOffset(point.lat, point.lon);
  visual_.plotDot(offset.x, offset.y, false);
  return true;
}

void PointStore::endPass(uint32_t generation) {
  if (closing_) return;
  // A cleared ring was cleared with the plot: no marker on the empty plot.
  if (generation == ring_.generation()) {
    visual_.updateMarker(mean_());
    visual_.SatCheckBoxClick();
  }
  // Playback that the user restarted meanwhile is left alone.
  if (transport_.transportState == TransportState::PAUSE) {
    if (resumeMode_ == ResumeMode::Play) playback_.PlayButtonClick();
    if (resumeMode_ == ResumeMode::FastPlay) playback_.RewindButtonClick();
  }
  resumeMode_ = ResumeMode::None;
}

}  // namespace veltrano
