#pragma once
// Splits the bytes that reach the receiver into the commands of one protocol.
#include <cstdint>

#include "sim/command.h"

namespace veltrano::sim {

class CommandParser {
 public:
  virtual ~CommandParser() = default;
  // True when `b` completed a command; it stays valid until the next push.
  virtual bool push(uint8_t b) = 0;
  virtual const Command& command() const = 0;
  // Forgets a partial command.
  virtual void reset() = 0;
};

}  // namespace veltrano::sim
