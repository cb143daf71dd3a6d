#pragma once
// When the shown windows are drawn: once after every block, as live data and
// normal play deliver them, or once for a whole frame of blocks, as fast play
// decodes them for about one display frame at a time. Between the drawings the
// windows with held drawing keep what the messages change.
#include <QElapsedTimer>
#include <QList>
#include <QWidgetList>
#include <vector>

#include "link/block_frames.h"

namespace veltrano {

class HeldDrawing;

class FramePacer : public BlockFrames {
 public:
  // A frame of blocks lasts this long: fast play decodes for about one
  // display frame between two drawings. Tests lengthen it.
  int frameMs = 16;

  // `painted`: every window that shows decoded data, in the order they are
  // painted; `held`: those of them that can hold their drawing.
  FramePacer(QWidgetList painted, std::vector<HeldDrawing*> held)
      : painted_(std::move(painted)), held_(std::move(held)) {}

  // A message is about to update the windows: they keep what it changes
  // until the next drawing.
  void holdDrawing();
  // After every block: the windows are drawn, unless a frame is being collected.
  void blockDone();
  // BlockFrames: a frame lasts frameMs.
  void startFrame() override;
  bool frameOver() const override { return frame_.hasExpired(frameMs); }
  void endFrame() override;
  int frameLengthMs() const override { return frameMs; }
  // How many times the windows were drawn.
  int drawings() const { return drawings_; }

 private:
  // What the held windows kept, then whatever the blocks invalidated, painted
  // now window by window instead of when the event loop next becomes idle; a
  // hidden window has nothing to paint.
  void draw();

  QWidgetList painted_;
  std::vector<HeldDrawing*> held_;
  bool holding_ = false;
  bool collecting_ = false;
  QElapsedTimer frame_;
  int drawings_ = 0;
};

}  // namespace veltrano
