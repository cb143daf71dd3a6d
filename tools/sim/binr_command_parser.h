#pragma once
// BINR commands: DLE id data [DLE FF crc-lo crc-hi] DLE ETX with doubled DLEs in
// the data; the CRC is checked when the trailer is present.
#include "sim/command_parser.h"

namespace veltrano::sim {

class BinrCommandParser : public CommandParser {
 public:
  bool push(uint8_t b) override;
  const Command& command() const override { return current; }
  void reset() override;

 private:
  static constexpr size_t kCapacity = 512;
  bool addRaw(uint8_t b);
  void addData(uint8_t b);

  uint8_t raw[kCapacity] = {};
  uint8_t data[kCapacity] = {};
  size_t rawLength = 0;
  size_t dataLength = 0;
  uint8_t id = 0;
  uint16_t crc = 0;
  uint16_t receivedCrc = 0;
  bool crcPresent = false;
  bool dleSeen = false;
  bool inFrame = false;
  int trailerState = 0;  // 1: CRC low byte next, 2: high byte next
  Command current;
};

}  // namespace veltrano::sim
