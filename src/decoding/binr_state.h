#pragma once
// The BINR receiver state: one record per message id, each holding the last
// message of that id. Every record reads as zero until its message first arrives.
#include <cstdint>

namespace veltrano {

// Messages 0x88 and 0x90: navigation solution.
struct BinrNavSolution {
  double latitude{}, longitude{}, height{};  // radians, radians, metres
  float rmsError{};                          // metres
  double timeOfWeek{};                       // milliseconds since the start of the week
  int16_t week{};                            // negative: date unavailable
  double velocityNorth{}, velocityEast{}, velocityUp{};  // metres per second
  uint8_t solutionStatus{};                  // bit flags

  bool operator==(const BinrNavSolution&) const = default;
};

// Message 0x60: satellites used and dilution of precision.
struct BinrDop {
  int8_t gpsUsed{}, glonassUsed{};
  float hdop{}, vdop{};

  bool operator==(const BinrDop&) const = default;
};

// Message 0x70: software version.
struct BinrVersion {
  char versionText[76]{};  // NUL-terminated, at most 75 characters

  bool operator==(const BinrVersion&) const = default;
};

// Message 0x93: receiver status with the satellites excluded from the solution.
struct BinrStatus {
  static constexpr int kMaxExcluded = 64;
  uint8_t header[16]{};  // the first 16 payload bytes as they came
  uint8_t statusFlags1{}, statusFlags2{}, statusFlags3{};
  uint32_t gpsUsedMask{}, glonassUsedMask{}, galileoUsedMask{};
  uint8_t excludedId[kMaxExcluded]{};
  uint8_t excludedValue[kMaxExcluded][4]{};
  uint8_t excludedCount{};

  bool operator==(const BinrStatus&) const = default;
};

struct BinrSatInView {
  uint8_t system{}, number{};  // system: 1 GPS, 2 GLONASS, 4 SBAS, 8 Galileo
  int8_t elevation{};          // degrees
  uint16_t azimuth{};          // degrees
  uint8_t snr{};               // dB-Hz

  bool operator==(const BinrSatInView&) const = default;
};

// Message 0x52: satellites in view.
struct BinrSatsInView {
  static constexpr int kMaxSats = 64;
  BinrSatInView sat[kMaxSats]{};
  uint8_t satCount{};

  bool operator==(const BinrSatsInView&) const = default;
};

struct BinrState {
  BinrNavSolution navSolution;
  BinrDop dop;
  BinrVersion version;
  BinrStatus status;
  BinrSatsInView satsInView;

  bool operator==(const BinrState&) const = default;
};

}  // namespace veltrano
