#include "decoding/solution_satellites.h"

#include <algorithm>

#include "decoding/nmea_field_table.h"

namespace veltrano {

namespace {
bool bit(uint64_t mask, int i) { return (mask >> i) & 1u; }
}  // namespace

void buildBinrSatellites(const BinrStatus& status, SolutionSatellites& out) {
  out = SolutionSatellites{};
  using S = SolutionSatellites;
  const bool beidou = bit(status.statusFlags3, 7);
  const bool galileo = bit(status.statusFlags3, 6);
  out.flags1 = status.statusFlags1;
  out.flags2 = status.statusFlags2;
  out.beidouFlag = beidou;
  // The second mask lists BeiDou satellites instead of GLONASS ones in BeiDou mode.
  const int second = beidou ? S::kBdsRow : S::kGlnRow;
  const uint8_t secondSystem = beidou ? kSatBeidou : kSatGlonass;
  SatelliteRow& gps = out.rows[S::kGpsRow];
  SatelliteRow& secondRow = out.rows[second];
  SatelliteRow& gll = out.rows[S::kGllRow];
  for (int i = 0; i < 32; ++i) {
    const int n = i + 1;
    if (bit(status.gpsUsedMask, i)) {
      gps.addUsed(n);
      out.addUsed(kSatGps, n);
    }
    if (bit(status.glonassUsedMask, i)) {
      secondRow.addUsed(n);
      out.addUsed(secondSystem, n);
    }
    if (galileo && bit(status.galileoUsedMask, i)) {
      gll.addUsed(n);
      out.addUsed(kSatGalileo, n);
    }
  }
  const int excluded = std::min<int>(status.excludedCount, BinrStatus::kMaxExcluded);
  for (int j = 0; j < excluded; ++j) {
    const int id = status.excludedId[j];
    if (id < 64) gps.addRejected(id);
    else if (id < 160) secondRow.addRejected(id - 64);
    else gll.addRejected(id - 160);
  }
  gps.updateCount = true;
  gps.count = gps.usedCount;
  gps.lists = SatelliteRow::Lists::Show;
  secondRow.updateCount = true;
  secondRow.count = secondRow.usedCount;
  secondRow.lists = SatelliteRow::Lists::Show;
  SatelliteRow& unused = out.rows[beidou ? S::kGlnRow : S::kBdsRow];
  unused.updateCount = true;
  unused.count = 0;
  unused.lists = SatelliteRow::Lists::Clear;
  if (galileo) {
    gll.updateCount = true;
    gll.count = gll.usedCount;
    gll.lists = SatelliteRow::Lists::Show;
  }
}

void buildBinr2Satellites(const Binr2State& binr2, SolutionSatellites& out) {
  out = SolutionSatellites{};
  using S = SolutionSatellites;
  const Binr2NavSolution& nav = binr2.navSolution;
  const Binr2SatMasks& masks = binr2.satMasks;
  out.flags1 = nav.statusFlags1;
  out.flags2 = nav.statusFlags2;
  struct System {
    int row;
    uint8_t code;
    int usedFlag;
    uint32_t usedMask, rejectedMask;
    int32_t count;  // the receiver's own count, not the number of mask bits
  };
  // Galileo masks: satellites 1 to 32 only.
  const System systems[] = {
      {S::kGpsRow, kSatGps, 1, masks.gpsUsedMask, masks.gpsRejectedMask, nav.gpsUsed},
      {S::kGlnRow, kSatGlonass, 0, masks.glonassUsedMask, masks.glonassRejectedMask, nav.glonassUsed},
      {S::kGllRow, kSatGalileo, 3, uint32_t(masks.galileoUsedMask), uint32_t(masks.galileoRejectedMask),
       nav.galileoUsed},
  };
  for (int i = 0; i < 32; ++i) {
    for (const System& s : systems) {
      if (bit(masks.usedFlags, s.usedFlag) && bit(s.usedMask, i)) {
        out.rows[s.row].addUsed(i + 1);
        out.addUsed(s.code, i + 1);
      }
      if (bit(masks.rejectedFlags, s.usedFlag) && bit(s.rejectedMask, i)) out.rows[s.row].addRejected(i + 1);
    }
  }
  for (const System& s : systems) {
    SatelliteRow& row = out.rows[s.row];
    row.updateCount = true;
    row.count = s.count;
    row.lists = SatelliteRow::Lists::Show;
  }
}

int gsaSatellites(const NmeaFieldTable& gsa, UsedSatellite* out, int room) {
  const int last = std::min<int>(gsa.fieldCount, NmeaFieldTable::kFieldSlots) - 4;
  int n = 0;
  for (int k = 3; k <= last && n < room; ++k) {
    const int32_t v = gsa.leadingIntOf(k);
    if (v >= 1 && v <= 32) out[n++] = {kSatGps, uint8_t(v)};
    else if (v >= 65 && v <= 88) out[n++] = {kSatGlonass, uint8_t(v - 64)};
    else if (v >= 151 && v <= 200) out[n++] = {kSatGalileo, uint8_t(v - 150)};
    else if (v > 200) out[n++] = {kSatBeidou, uint8_t(v - 200)};
  }
  return n;
}

}  // namespace veltrano
