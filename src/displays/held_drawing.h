#pragma once
// A window whose drawing can be held: while held it takes every update as
// usual, so that what it counts and plots stays up to date, but it keeps what
// it would draw (label texts, pictures to copy) and draws only the latest of
// it when released. Many messages then cost one drawing per block or frame.
namespace veltrano {

class HeldDrawing {
 public:
  virtual ~HeldDrawing() = default;

  void holdDrawing() { held_ = true; }
  // Draws what was kept; from now on updates are drawn at once.
  void releaseDrawing() {
    held_ = false;
    drawKept();
  }

 protected:
  bool drawingHeld() const { return held_; }
  // Draws what the updates kept since the last drawing; nothing without any.
  virtual void drawKept() = 0;

 private:
  bool held_ = false;
};

}  // namespace veltrano
