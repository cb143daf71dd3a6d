#include "sim/line_pacer.h"

#include <algorithm>

namespace veltrano::sim {

void LinePacer::reset(int32_t baud, int bitsPerCharacter, double now) {
  rate = double(baud) / bitsPerCharacter;
  budget = 0;
  last = now;
}

size_t LinePacer::allowance(double now) {
  const double burst = std::max(64.0, rate * 0.02);
  budget = std::min(burst, budget + (now - last) * rate);
  last = now;
  return budget >= 1 ? size_t(budget) : 0;
}

void LinePacer::spend(size_t n) { budget -= double(n); }

}  // namespace veltrano::sim
