#pragma once
// Decides, frame by frame, which periodic frames go out with a bad checksum or
// CRC, and counts them.
#include <cstdint>

#include "sim/random_source.h"

namespace veltrano::sim {

class FrameCorrupter {
 public:
  FrameCorrupter(double fraction, uint64_t seed);

  // True when the next frame is to be corrupted.
  bool next();

  uint64_t frames() const { return frameCount; }
  uint64_t corrupted() const { return corruptedCount; }

 private:
  double fraction;
  RandomSource random;
  uint64_t frameCount = 0;
  uint64_t corruptedCount = 0;
};

}  // namespace veltrano::sim
