#pragma once
// Which NMEA sentence carries the position: chosen by the user (GGA, RMC or GNS)
// or, in Auto, the best kind the receiver has sent so far (GNS, then GGA, then RMC).
#include <cstdint>

#include "decoding/nmea_kind.h"

namespace veltrano {

class NmeaAssembler;

// Values of NmeaAssembler::positionSource; the kinds share the NmeaKind numbers.
enum class NmeaPositionSource : int32_t {
  Auto = 0,
  GGA = int32_t(NmeaKind::GGA),
  RMC = int32_t(NmeaKind::RMC),
  GNS = int32_t(NmeaKind::GNS),
};

// The stored sentence the position is read from: GNS, GGA or RMC.
NmeaKind nmeaPositionSentence(const NmeaAssembler& nmea);

// Whether a sentence of `kind` just completed is the one that updates the
// position displays. In Auto a GGA counts while no GNS came, an RMC while neither
// GGA nor GNS came, and a GNS always.
bool nmeaSentenceUpdatesPosition(const NmeaAssembler& nmea, NmeaKind kind);

}  // namespace veltrano
