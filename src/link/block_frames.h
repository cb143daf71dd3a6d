#pragma once
// How the main thread draws a run of blocks that it takes in one go, because
// more were waiting: the windows are drawn once, after the last of them, and a
// run lasts at most about one display frame, so that the event loop answers
// the user in between. A reader whose data streams in hands it over at most
// once a frame.
namespace veltrano {

class BlockFrames {
 public:
  virtual ~BlockFrames() = default;
  // The blocks from now on are drawn once, at endFrame.
  virtual void startFrame() = 0;
  // No more blocks should be taken into this frame.
  virtual bool frameOver() const = 0;
  virtual void endFrame() = 0;
  // How long a frame lasts; 0 when every block goes over on its own.
  virtual int frameLengthMs() const = 0;
};

// Every block on its own, drawn after it: a frame is over after one block.
BlockFrames& blockByBlock();

}  // namespace veltrano
