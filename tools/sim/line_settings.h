#pragma once
// What the other side has set on the pseudo-terminal, read from the master side,
// and what a receiver's UART makes of a byte sent at another rate.
#include <cstdint>

namespace veltrano::sim {

struct LineSettings {
  bool known = false;
  uint32_t inputBaud = 0;
  uint32_t outputBaud = 0;
};

LineSettings readLineSettings(int masterFd);

// True when the other side's port runs at `baud` in both directions.
bool lineMatches(const LineSettings& settings, int32_t baud);

// A byte as seen at a wrong rate: always with the top bit set, so it can never be
// "$", a line feed, a DLE or the start of the BINR2 sync word.
uint8_t garbleByte(uint8_t b);

}  // namespace veltrano::sim
