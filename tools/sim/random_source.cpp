#include "sim/random_source.h"

#include <cmath>

namespace veltrano::sim {

namespace {
uint64_t splitMix(uint64_t& x) {
  uint64_t z = (x += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

uint64_t rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
}  // namespace

RandomSource::RandomSource(uint64_t seed) {
  for (uint64_t& s : state) s = splitMix(seed);
}

uint64_t RandomSource::next() {
  const uint64_t result = rotl(state[1] * 5, 7) * 9;
  const uint64_t t = state[1] << 17;
  state[2] ^= state[0];
  state[3] ^= state[1];
  state[1] ^= state[2];
  state[0] ^= state[3];
  state[2] ^= t;
  state[3] = rotl(state[3], 45);
  return result;
}

double RandomSource::uniform() { return (double(next() >> 11) + 0.5) * 0x1.0p-53; }

double RandomSource::gaussian() {
  const double u1 = uniform();
  const double u2 = uniform();
  return std::sqrt(-2.0 * std::log(u1)) * std::cos(6.283185307179586 * u2);
}

}  // namespace veltrano::sim
