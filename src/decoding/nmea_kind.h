#pragma once
// Result codes of the NMEA assembler, one per received character. The numbers are
// part of the interface: the position source setting and the byte handler use them.

namespace veltrano {

enum class NmeaKind : int {
  Error = -1,  // checksum mismatch or overlong line
  None = 0,    // sentence not complete, or character outside a sentence
  Other = 1,   // complete and valid, kind not recognised
  GGA = 2,
  RMC = 3,
  GSA = 4,
  RZD = 5,
  RZA = 6,
  GPGSV = 7,
  GLGSV = 8,
  GAGSV = 9,
  GNS = 10,
  GBS = 11,
  BDGSV = 12,
  BSS = 13,
  VER = 14,
};

constexpr const char* nmeaKindName(NmeaKind kind) {
  switch (kind) {
    case NmeaKind::Error: return "Error";
    case NmeaKind::None: return "None";
    case NmeaKind::Other: return "Other";
    case NmeaKind::GGA: return "GGA";
    case NmeaKind::RMC: return "RMC";
    case NmeaKind::GSA: return "GSA";
    case NmeaKind::RZD: return "RZD";
    case NmeaKind::RZA: return "RZA";
    case NmeaKind::GPGSV: return "GPGSV";
    case NmeaKind::GLGSV: return "GLGSV";
    case NmeaKind::GAGSV: return "GAGSV";
    case NmeaKind::GNS: return "GNS";
    case NmeaKind::GBS: return "GBS";
    case NmeaKind::BDGSV: return "BDGSV";
    case NmeaKind::BSS: return "BSS";
    case NmeaKind::VER: return "VER";
  }
  return "Error";
}

}  // namespace veltrano
