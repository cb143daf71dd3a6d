#include "sim/frame_corrupter.h"

namespace veltrano::sim {

FrameCorrupter::FrameCorrupter(double f, uint64_t seed) : fraction(f), random(seed ^ 0xC0AAB7F4A3E5ull) {}

bool FrameCorrupter::next() {
  ++frameCount;
  if (fraction <= 0 || random.uniform() >= fraction) return false;
  ++corruptedCount;
  return true;
}

}  // namespace veltrano::sim
