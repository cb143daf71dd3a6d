#pragma once
// NMEA commands: "$" to line feed, checksum checked when "*" and two hex digits
// are present.
#include "sim/command_parser.h"

namespace veltrano::sim {

class NmeaCommandParser : public CommandParser {
 public:
  bool push(uint8_t b) override;
  const Command& command() const override { return current; }
  void reset() override;

 private:
  static constexpr int kCapacity = 160;
  uint8_t line[kCapacity] = {};
  int length = 0;
  bool inLine = false;
  Command current;
};

}  // namespace veltrano::sim
