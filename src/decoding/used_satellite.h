#pragma once
// The satellite-system codes shared by the Satellites, Visual and S/N ratio
// windows, and one entry of the list of satellites used by the solution.
#include <cstdint>

namespace veltrano {

enum SatSystem : uint8_t {
  kSatNone = 0,
  kSatGps = 1,
  kSatGlonass = 2,
  kSatSbas = 4,
  kSatGalileo = 8,
  kSatBeidou = 9,
  kSatGpsBeyond = 16,  // reported as GPS beyond the GPS numbers ("Q")
};

struct UsedSatellite {
  uint8_t system = kSatNone;  // a SatSystem code
  uint8_t number = 0;         // satellite number within its system

  bool operator==(const UsedSatellite&) const = default;
};

}  // namespace veltrano
