#include "sim/output_buffer.h"

#include <cstring>

namespace veltrano::sim {

OutputBuffer::OutputBuffer(size_t byteCapacity, size_t frameCapacity)
    : bytes(byteCapacity), frameEnds(frameCapacity) {}

void OutputBuffer::clear() {
  length = 0;
  frameStart = 0;
  frames = 0;
  overflow = false;
}

void OutputBuffer::put(uint8_t b) {
  if (length < bytes.size()) bytes[length++] = b;
  else overflow = true;
}

void OutputBuffer::put(const uint8_t* src, size_t n) {
  for (size_t i = 0; i < n; ++i) put(src[i]);
}

void OutputBuffer::putLe16(uint16_t v) {
  put(uint8_t(v));
  put(uint8_t(v >> 8));
}

void OutputBuffer::putLe32(uint32_t v) {
  putLe16(uint16_t(v));
  putLe16(uint16_t(v >> 16));
}

void OutputBuffer::putLe64(uint64_t v) {
  putLe32(uint32_t(v));
  putLe32(uint32_t(v >> 32));
}

void OutputBuffer::putFloat(float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  putLe32(bits);
}

void OutputBuffer::putDouble(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  putLe64(bits);
}

void OutputBuffer::endFrame() {
  if (overflow || frames == frameEnds.size()) {
    length = frameStart;
  } else {
    frameEnds[frames++] = length;
    frameStart = length;
  }
  overflow = false;
}

}  // namespace veltrano::sim
