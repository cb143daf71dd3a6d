#include "mainwindow/frame_pacer.h"

#include <QCoreApplication>
#include <QWidget>
#include <algorithm>

#include "displays/held_drawing.h"

namespace veltrano {

FramePacer::FramePacer(QWidgetList painted, std::vector<HeldDrawing*> held)
    : painted_(std::move(painted)), held_(std::move(held)) {
  frameEnd_.setSingleShot(true);
  frameEnd_.callOnTimeout([this] {
    if (frameOpen_ && !collecting_) draw();
  });
}

void FramePacer::holdDrawing() {
  if (holding_) return;
  holding_ = true;
  for (HeldDrawing* window : held_) window->holdDrawing();
}

void FramePacer::blockDone() {
  if (!collecting_) draw();
}

void FramePacer::startFrame() {
  collecting_ = true;
  frame_.start();
}

void FramePacer::endFrame() {
  collecting_ = false;
  draw();
}

void FramePacer::startSlot() {
  collecting_ = true;
  if (frameOpen_) return;
  frameOpen_ = true;
  frame_.start();
  frameEnd_.start(frameMs);
}

QDeadlineTimer FramePacer::slotEnd() const {
  return QDeadlineTimer(std::clamp<qint64>(frameMs - frame_.elapsed(), 0, frameMs / 2));
}

void FramePacer::endSlot() {
  collecting_ = false;
  if (frame_.elapsed() >= frameMs) draw();
}

void FramePacer::finishFrame() {
  if (frameOpen_) draw();
}

void FramePacer::draw() {
  frameOpen_ = false;
  frameEnd_.stop();
  if (holding_) {
    holding_ = false;
    for (HeldDrawing* window : held_) window->releaseDrawing();
  }
  for (QWidget* window : std::as_const(painted_))
    if (window->isVisible()) QCoreApplication::sendPostedEvents(window, QEvent::UpdateRequest);
  ++drawings_;
}

}  // namespace veltrano
