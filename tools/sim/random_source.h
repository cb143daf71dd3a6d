#pragma once
// Seeded pseudo-random numbers (xoshiro256**) with our own uniform and normal
// draws, so that the same seed gives the same stream on every platform.
#include <cstdint>

namespace veltrano::sim {

class RandomSource {
 public:
  explicit RandomSource(uint64_t seed);

  uint64_t next();
  // Uniform in (0, 1).
  double uniform();
  // Standard normal.
  double gaussian();

 private:
  uint64_t state[4];
};

}  // namespace veltrano::sim
