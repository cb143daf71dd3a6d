#pragma once
// The program's one table of the satellites in view, filled from the NMEA
// satellites-in-view cycles, BINR message 0x52 or BINR2 message 0xA0. A
// complete fill is committed into the displayed copy that the S/N ratio bars
// and the sky view draw.
#include <array>
#include <cstdint>
#include <span>

#include "decoding/binr2_state.h"
#include "decoding/binr_state.h"
#include "decoding/nmea_field_table.h"
#include "decoding/nmea_kind.h"
#include "decoding/used_satellites.h"

namespace veltrano {

struct SatelliteInView {
  uint8_t system = kSatNone;  // a SatSystem code; kSatNone: an empty entry
  uint8_t number = 0;
  uint8_t snr = 0;   // dB-Hz
  uint8_t used = 0;  // 1 when the solution uses it
  int32_t elevation = 0;  // degrees
  int32_t azimuth = 0;    // degrees clockwise from north

  bool operator==(const SatelliteInView&) const = default;
};

class SatellitesInView {
 public:
  static constexpr int kMaxEntries = 64;

  // Each fill marks the entries the solution uses (`used`, as the Satellites
  // window last built it). `snrShown`: the S/N ratio window is shown, so a
  // commit sorts an NMEA cycle for its bars. True when the fill committed.
  bool fillFromNmea(NmeaKind kind, const NmeaFieldTable& gsv, bool glonassSeen, const UsedSatellites& used,
                    bool snrShown);
  void fillFromBinr(const BinrSatsInView& view, const UsedSatellites& used);
  void fillFromBinr2(const Binr2SatsInView& view, const UsedSatellites& used);

  // The working count back to 0; the displayed copy, the NMEA cycle and its
  // group flags stay, so the sky view keeps its last picture.
  void clearWorking() { workingCount_ = 0; }

  // The table as filled so far, counted as the last commit left it (the next
  // NMEA cycle may already have overwritten its first entries), and the copy
  // that commit took, which the S/N ratio bars and the sky view draw.
  std::span<const SatelliteInView> working() const { return {working_.data(), workingCount_}; }
  std::span<const SatelliteInView> displayed() const { return {displayed_.data(), displayedCount_}; }

 private:
  void commit(int count, bool sort);
  static void fillNmeaSlot(SatelliteInView& entry, NmeaKind kind, const NmeaFieldTable& gsv, int field,
                           bool glonassSeen);

  // One spare entry beyond the 64, as the table has always had.
  std::array<SatelliteInView, kMaxEntries + 1> working_{};
  std::array<SatelliteInView, kMaxEntries + 1> displayed_{};
  uint8_t workingCount_ = 0;
  uint8_t displayedCount_ = 0;
  // NMEA: entries written in the current cycle, and which groups ended.
  int32_t gsvFill_ = 0;
  bool gpsGroupDone_ = false;
  bool glonassGroupDone_ = false;
};

}  // namespace veltrano
