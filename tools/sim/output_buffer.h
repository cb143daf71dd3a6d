#pragma once
// A byte buffer of fixed capacity, allocated once, that knows where each frame
// (sentence or binary message) ends. Writers fill it; the terminal queue and the
// recording writer empty it.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace veltrano::sim {

class OutputBuffer {
 public:
  OutputBuffer(size_t byteCapacity, size_t frameCapacity);

  void clear();

  // A frame that does not fit is dropped whole at its endFrame.
  void put(uint8_t b);
  void put(const uint8_t* bytes, size_t n);
  void putLe16(uint16_t v);
  void putLe32(uint32_t v);
  void putLe64(uint64_t v);
  void putFloat(float v);
  void putDouble(double v);

  // Closes the frame that began after the previous endFrame.
  void endFrame();

  size_t size() const { return length; }
  const uint8_t* data() const { return bytes.data(); }
  size_t frameCount() const { return frames; }
  // Offset just past frame i.
  size_t frameEnd(size_t i) const { return frameEnds[i]; }

 private:
  std::vector<uint8_t> bytes;
  std::vector<size_t> frameEnds;
  size_t length = 0;
  size_t frameStart = 0;
  size_t frames = 0;
  bool overflow = false;  // the frame being built did not fit
};

}  // namespace veltrano::sim
