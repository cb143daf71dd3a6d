#include "sim/frame_queue.h"

#include <cstring>

namespace veltrano::sim {

FrameQueue::FrameQueue(size_t byteCapacity, size_t frameCapacity) : storage(byteCapacity), lengths(frameCapacity) {}

void FrameQueue::clear() {
  head = tail = 0;
  first = frames = 0;
  taken = 0;
  started = garbled = false;
}

bool FrameQueue::pushFrames(const OutputBuffer& buffer) {
  const size_t count = buffer.frameCount();
  if (count == 0) return true;
  const size_t need = buffer.frameEnd(count - 1);
  if (frames + count > lengths.size()) return false;
  if (tail + need > storage.size() && head > 0) {
    std::memmove(storage.data(), storage.data() + head, tail - head);
    tail -= head;
    head = 0;
  }
  if (tail + need > storage.size()) return false;
  std::memcpy(storage.data() + tail, buffer.data(), need);
  tail += need;
  size_t start = 0;
  for (size_t i = 0; i < count; ++i) {
    lengths[(first + frames) % lengths.size()] = buffer.frameEnd(i) - start;
    start = buffer.frameEnd(i);
    ++frames;
  }
  return true;
}

void FrameQueue::startFront(bool garble) {
  started = true;
  garbled = garble;
}

void FrameQueue::consume(size_t n) {
  head += n;
  taken += n;
  if (taken < lengths[first]) return;
  first = (first + 1) % lengths.size();
  --frames;
  taken = 0;
  started = garbled = false;
  if (frames == 0) head = tail = 0;
}

}  // namespace veltrano::sim
