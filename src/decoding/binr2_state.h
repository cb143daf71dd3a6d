#pragma once
// The BINR2 receiver state: one record per message id, each holding the last
// message of that id. Every record reads as zero until its message first arrives.
// A payload shorter than its record overwrites only its own length, so the records
// that are copied byte for byte keep their raw image and decode their fields from it.
#include <cstdint>

namespace veltrano {

enum Binr2MessageId : uint8_t {
  kBinr2Ack = 0x80,
  kBinr2NavSolution = 0x90,
  kBinr2SatsInView = 0xA0,
  kBinr2SatMasks = 0xA1,
  kBinr2TimeInfo = 0xB2,
  kBinr2MsgB5 = 0xB5,
  kBinr2DeviceId = 0xC0,
};

// Message 0x80: command acknowledgement.
struct Binr2Ack {
  uint8_t raw[2]{};
  uint8_t ackedCommand{};  // id of the acknowledged command

  bool operator==(const Binr2Ack&) const = default;
};

// Message 0x90: navigation solution.
struct Binr2NavSolution {
  uint8_t raw[58]{};
  uint32_t timeOfWeek{};  // milliseconds since the start of the week
  uint16_t week{};
  uint8_t timeScale{};    // 1 and 4: no leap-second correction
  int32_t latitude{}, longitude{};               // 1e-7 degree
  int32_t ellipsoidHeight{};                     // centimetres
  int16_t geoidSeparation{};                     // centimetres
  uint16_t errorComponent1{}, errorComponent2{};  // 0.1 metre
  int32_t velocityNorth{}, velocityEast{};       // centimetres per second
  uint8_t hdop{}, vdop{};                        // tenths
  uint8_t statusFlags1{}, statusFlags2{};
  uint8_t gpsUsed{}, glonassUsed{}, galileoUsed{};

  bool operator==(const Binr2NavSolution&) const = default;
};

struct Binr2SatInView {
  uint8_t system{};  // low three bits: 1 GLONASS, 2 GPS, 3 SBAS, 4 Galileo
  uint8_t number{};
  uint16_t elevation{}, azimuth{};  // 0.1 degree
  uint16_t snr{};                   // 0.1 dB-Hz

  bool operator==(const Binr2SatInView&) const = default;
};

// Message 0xA0: satellites in view, 9 bytes per satellite.
struct Binr2SatsInView {
  static constexpr int kMaxSats = 64;
  static constexpr int kRecordSize = 9;
  uint8_t raw[kMaxSats * kRecordSize]{};
  Binr2SatInView sat[kMaxSats]{};
  uint8_t satCount{};

  bool operator==(const Binr2SatsInView&) const = default;
};

// Message 0xA1: used and rejected satellites; bit i of a mask is satellite i + 1.
struct Binr2SatMasks {
  uint8_t usedFlags{}, rejectedFlags{};  // bit 0 GLONASS, bit 1 GPS, bit 3 Galileo mask present
  uint32_t glonassUsedMask{}, glonassRejectedMask{};
  uint32_t gpsUsedMask{}, gpsRejectedMask{};
  uint64_t galileoUsedMask{}, galileoRejectedMask{};

  bool operator==(const Binr2SatMasks&) const = default;
};

// Message 0xB2: time information.
struct Binr2TimeInfo {
  uint8_t raw[27]{};
  bool leapSecondsValid{};
  uint8_t leapSeconds{};

  bool operator==(const Binr2TimeInfo&) const = default;
};

// Message 0xC0: device identification. Each text runs from its offset to its first
// NUL or to the end of the 64-byte record, so each array has room for the rest of
// the record after its offset plus the terminator.
struct Binr2DeviceId {
  static constexpr int kSize = 64;
  uint8_t raw[kSize]{};
  char deviceName[kSize - 1 + 1]{};     // from offset 1
  char versionMajor[kSize - 7 + 1]{};   // from offset 7
  char versionMinor[kSize - 10 + 1]{};  // from offset 10
  char deviceExtra[kSize - 13 + 1]{};   // from offset 13

  bool operator==(const Binr2DeviceId&) const = default;
};

struct Binr2State {
  Binr2Ack ack;
  Binr2NavSolution navSolution;
  Binr2SatsInView satsInView;
  Binr2SatMasks satMasks;
  Binr2TimeInfo timeInfo;
  uint8_t msgB5[10]{};  // kept as it came; nothing reads it
  Binr2DeviceId deviceId;

  bool operator==(const Binr2State&) const = default;
};

// The time of week of the last navigation solution after the leap-second correction.
struct CorrectedTime {
  double seconds{};
  int32_t week{};
};
CorrectedTime correctedTime(const Binr2State& state);

// Copies the payload of a checked frame body (id, then payload) into the record of its
// id and returns the id. Payload bytes beyond a record's room are dropped. An empty
// body has no id: nothing is copied and 0 is returned.
uint8_t dispatchBinr2Frame(Binr2State& state, const uint8_t* body, uint16_t length);

}  // namespace veltrano
