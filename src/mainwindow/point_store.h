#pragma once
// The point store: every plotted position goes into the ring, and a redraw of
// the Visual plot replays the ring onto it from the replay thread, one point per
// hand-off, with file playback paused for the replay and resumed after it.
#include <cstdint>
#include <functional>
#include <memory>

#include "decoding/transport_fields.h"
#include "displays/visual_form.h"
#include "mainwindow/point_cycle.h"
#include "util/point_ring.h"

namespace veltrano {

class Playback;

class PointStore {
 public:
  // What restarts playback after a replay.
  enum class ResumeMode : int32_t { None = 0, Play = 1, FastPlay = 2 };

  // `mean` gives the Statistic window's mean position, which the marker's
  // offset labels show at the end of a replay.
  PointStore(PointRing& ring, TransportFields& transport, Playback& playback, TVisualForm& visual,
             std::function<MeanPosition()> mean);
  // Ends the replay thread and frees the ring.
  ~PointStore();
  PointStore(const PointStore&) = delete;
  PointStore& operator=(const PointStore&) = delete;

  // A new, empty ring with the capacity set now; a running replay stops.
  bool clearPoints() { return ring_.clearPoints(); }
  void releasePoints() { ring_.releasePoints(); }
  bool addPoint(double lat, double lon, double height) { return ring_.addPoint(lat, lon, height); }
  // Pauses playback and starts a replay, or starts the running one again from
  // the oldest point (the plot was emptied since it began); nothing without a store.
  void redrawStoredPoints();

  ResumeMode resumeMode() const { return resumeMode_; }
  // The replay thread, once a replay was asked for; null before.
  TPointCycle* pointCycle() const { return cycle_.get(); }

 private:
  bool drawPoint(int32_t index, uint32_t generation);
  void endPass(uint32_t generation);

  PointRing& ring_;
  TransportFields& transport_;
  Playback& playback_;
  TVisualForm& visual_;
  std::function<MeanPosition()> mean_;
  ResumeMode resumeMode_ = ResumeMode::None;
  std::unique_ptr<TPointCycle> cycle_;
  bool closing_ = false;
};

}  // namespace veltrano
