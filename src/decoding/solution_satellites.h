#pragma once
// The satellites a binary navigation solution uses and rejects, per row of the
// Satellites window (GPS, GLONASS, Galileo, BeiDou), with the receiver's status
// flags: built once per solution from the receiver state.
#include <cstdint>

#include "decoding/binr2_state.h"
#include "decoding/binr_state.h"
#include "decoding/nmea_field_table.h"
#include "decoding/used_satellite.h"

namespace veltrano {

struct SatelliteRow {
  static constexpr int kMaxNumbers = 64;
  enum class Lists : uint8_t { Keep, Clear, Show };

  bool updateCount = false;
  int32_t count = 0;
  Lists lists = Lists::Keep;
  uint8_t used[kMaxNumbers] = {};
  uint8_t rejected[kMaxNumbers] = {};
  uint8_t usedCount = 0, rejectedCount = 0;

  void addUsed(int number) {
    if (usedCount < kMaxNumbers) used[usedCount++] = uint8_t(number);
  }
  void addRejected(int number) {
    if (rejectedCount < kMaxNumbers) rejected[rejectedCount++] = uint8_t(number);
  }
};

struct SolutionSatellites {
  enum Row { kGpsRow = 0, kGlnRow = 1, kGllRow = 2, kBdsRow = 3, kRowCount = 4 };
  static constexpr int kMaxUsed = 64;

  uint8_t flags1 = 0, flags2 = 0;
  bool beidouFlag = false;
  SatelliteRow rows[kRowCount];
  // Every used satellite with its system, the first kMaxUsed.
  UsedSatellite used[kMaxUsed] = {};
  uint8_t usedCount = 0;

  void addUsed(uint8_t system, int number) {
    if (usedCount < kMaxUsed) used[usedCount++] = UsedSatellite{system, uint8_t(number)};
  }
};

// From the BINR receiver status (message 0x93).
void buildBinrSatellites(const BinrStatus& status, SolutionSatellites& out);
// From the BINR2 solution (0x90) and satellite masks (0xA1).
void buildBinr2Satellites(const Binr2State& binr2, SolutionSatellites& out);

// The satellites of one GSA sentence: every field before the last three (PDOP,
// HDOP, VDOP) with a known number range. Returns how many were put into `out`.
int gsaSatellites(const NmeaFieldTable& gsa, UsedSatellite* out, int room);

}  // namespace veltrano
