#pragma once
// Holds the output to what the receiver's line rate can carry.
#include <cstddef>
#include <cstdint>

namespace veltrano::sim {

class LinePacer {
 public:
  // `bitsPerCharacter`: start, data, parity and stop bits.
  void reset(int32_t baud, int bitsPerCharacter, double now);
  // Bytes that may go out now.
  size_t allowance(double now);
  void spend(size_t n);
  double bytesPerSecond() const { return rate; }

 private:
  double rate = 11520;
  double budget = 0;
  double last = 0;
};

}  // namespace veltrano::sim
