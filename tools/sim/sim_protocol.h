#pragma once
// The three output protocols of the simulated receiver.
#include <cstdint>

namespace veltrano::sim {

enum class SimProtocol : uint8_t { Nmea, Binr, Binr2 };

constexpr const char* protocolName(SimProtocol protocol) {
  switch (protocol) {
    case SimProtocol::Nmea: return "NMEA";
    case SimProtocol::Binr: return "BINR";
    case SimProtocol::Binr2: return "BINR2";
  }
  return "NMEA";
}

}  // namespace veltrano::sim
