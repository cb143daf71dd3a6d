#pragma once
// When the shown windows are drawn: once after every block, as normal play
// delivers them, once for the blocks live data hands over in one go, or once a
// display frame while fast play decodes. Between the drawings the windows with
// held drawing keep what the messages change.
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QList>
#include <QTimer>
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
  FramePacer(QWidgetList painted, std::vector<HeldDrawing*> held);

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

  // Fast play decodes a slot at a time, half a frame, and goes back to the
  // event loop in between, so that a click waits half a frame at most. The
  // windows are drawn at the end of the slot in which the frame is over, or
  // when the frame is over and no slot came (the file is read more slowly than
  // it is decoded, or the playback paused).
  void startSlot();
  // When the slot begun last is over: half a frame later, or at the frame's end.
  QDeadlineTimer slotEnd() const;
  void endSlot();
  // The playback ended: what the last frame holds is drawn now.
  void finishFrame();
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
  // A fast-play frame has begun and is not drawn yet.
  bool frameOpen_ = false;
  QElapsedTimer frame_;
  QTimer frameEnd_;
  int drawings_ = 0;
};

}  // namespace veltrano
