#pragma once
// BINR2 commands: sync A5 5A B5 5B, 16-bit length, body (id and data), CRC of
// the body.
#include "sim/command_parser.h"

namespace veltrano::sim {

class Binr2CommandParser : public CommandParser {
 public:
  bool push(uint8_t b) override;
  const Command& command() const override { return current; }
  void reset() override;

 private:
  static constexpr size_t kMaxBody = 1024;
  enum class Stage { Hunting, Length, Body, Checksum };

  uint8_t raw[kMaxBody + 8] = {};
  size_t rawLength = 0;
  uint32_t sync = 0;
  uint16_t declaredLength = 0;
  uint16_t crc = 0;
  Stage stage = Stage::Hunting;
  Command current;
};

}  // namespace veltrano::sim
