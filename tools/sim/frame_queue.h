#pragma once
// Frames waiting for the line, in order. Each frame is sent either clean or
// garbled as a whole: the choice is made when its first byte goes out.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sim/output_buffer.h"

namespace veltrano::sim {

class FrameQueue {
 public:
  FrameQueue(size_t byteCapacity, size_t frameCapacity);

  // Appends all complete frames of `buffer`, or none when they do not fit.
  bool pushFrames(const OutputBuffer& buffer);
  void clear();

  bool empty() const { return frames == 0; }
  size_t size() const { return tail - head; }

  bool frontStarted() const { return started; }
  bool frontGarbled() const { return garbled; }
  void startFront(bool garble);
  const uint8_t* frontData() const { return storage.data() + head; }
  size_t frontRemaining() const { return lengths[first] - taken; }
  // Takes n bytes (at most frontRemaining()) of the front frame.
  void consume(size_t n);

 private:
  std::vector<uint8_t> storage;
  std::vector<size_t> lengths;  // ring of frame lengths
  size_t head = 0, tail = 0;
  size_t first = 0, frames = 0;
  size_t taken = 0;
  bool started = false;
  bool garbled = false;
};

}  // namespace veltrano::sim
