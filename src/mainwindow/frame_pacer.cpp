#include "mainwindow/frame_pacer.h"

#include <QCoreApplication>
#include <QWidget>

#include "displays/held_drawing.h"

namespace veltrano {

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

void FramePacer::draw() {
  if (holding_) {
    holding_ = false;
    for (HeldDrawing* window : held_) window->releaseDrawing();
  }
  for (QWidget* window : std::as_const(painted_))
    if (window->isVisible()) QCoreApplication::sendPostedEvents(window, QEvent::UpdateRequest);
  ++drawings_;
}

}  // namespace veltrano
