#pragma once
// When the shown windows are drawn: once after every block. Between two
// drawings the windows with held drawing keep what the messages change.
#include <QList>
#include <QWidgetList>
#include <vector>

namespace veltrano {

class HeldDrawing;

class FramePacer {
 public:
  // `painted`: every window that shows decoded data, in the order they are
  // painted; `held`: those of them that can hold their drawing.
  FramePacer(QWidgetList painted, std::vector<HeldDrawing*> held)
      : painted_(std::move(painted)), held_(std::move(held)) {}

  // A message is about to update the windows: they keep what it changes
  // until the next drawing.
  void holdDrawing();
  // After every block: the windows are drawn.
  void blockDone() { draw(); }

 private:
  // What the held windows kept, then whatever the blocks invalidated, painted
  // now window by window instead of when the event loop next becomes idle; a
  // hidden window has nothing to paint.
  void draw();

  QWidgetList painted_;
  std::vector<HeldDrawing*> held_;
  bool holding_ = false;
};

}  // namespace veltrano
