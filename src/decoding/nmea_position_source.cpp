#include "decoding/nmea_position_source.h"

#include "decoding/nmea_assembler.h"

namespace veltrano {

namespace {
bool chosen(const NmeaAssembler& nmea, NmeaPositionSource source) {
  return nmea.positionSource == int32_t(source);
}
bool automatic(const NmeaAssembler& nmea) { return chosen(nmea, NmeaPositionSource::Auto); }
}  // namespace

NmeaKind nmeaPositionSentence(const NmeaAssembler& nmea) {
  if ((automatic(nmea) && nmea.gnsCount > 0) || chosen(nmea, NmeaPositionSource::GNS)) return NmeaKind::GNS;
  if ((automatic(nmea) && nmea.ggaCount > 0) || chosen(nmea, NmeaPositionSource::GGA)) return NmeaKind::GGA;
  return NmeaKind::RMC;
}

bool nmeaSentenceUpdatesPosition(const NmeaAssembler& nmea, NmeaKind kind) {
  switch (kind) {
    case NmeaKind::GGA:
      return chosen(nmea, NmeaPositionSource::GGA) || (automatic(nmea) && nmea.gnsCount == 0);
    case NmeaKind::RMC:
      return chosen(nmea, NmeaPositionSource::RMC) ||
             (automatic(nmea) && nmea.ggaCount == 0 && nmea.gnsCount == 0);
    case NmeaKind::GNS:
      return automatic(nmea) || chosen(nmea, NmeaPositionSource::GNS);
    default:
      return false;
  }
}

}  // namespace veltrano
