#pragma once
// A command as the receiver took it from the line: the bytes as received and the
// part the receiver acts on.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sim/sim_protocol.h"

namespace veltrano::sim {

struct Command {
  SimProtocol protocol = SimProtocol::Nmea;
  bool checksumOk = false;
  const uint8_t* raw = nullptr;  // as received, framing included
  size_t rawLength = 0;
  uint8_t id = 0;                 // BINR id, BINR2 message id; 0 for NMEA
  const uint8_t* data = nullptr;  // BINR unstuffed data or BINR2 body after the id
  size_t dataLength = 0;
  std::string_view text;          // NMEA: from "$" up to the "*" or the line end
};

}  // namespace veltrano::sim
