#include "decoding/satellites_in_view.h"

#include <algorithm>

#include "util/small_stable_sort.h"

namespace veltrano {

namespace {

void markUsed(SatelliteInView& entry, const UsedSatellites& used) {
  entry.used = used.contains(UsedSatellite{entry.system, entry.number}) ? 1 : 0;
}

// The system of a BINR2 record by the low three bits of its system byte; a
// value of no known system gives an empty entry.
uint8_t binr2System(uint8_t system) {
  switch (system & 0x07) {
    case 1:
      return kSatGlonass;
    case 2:
      return kSatGps;
    case 3:
      return kSatSbas;
    case 4:
      return kSatGalileo;
    default:
      return kSatNone;
  }
}

}  // namespace

void SatellitesInView::commit(int count, bool sort) {
  workingCount_ = uint8_t(count);
  // Ascending by system, then by number, as the bars are read.
  if (sort)
    smallStableSort(working_.begin(), working_.begin() + count, [](const SatelliteInView& a, const SatelliteInView& b) {
      return a.system != b.system ? a.system < b.system : a.number < b.number;
    });
  displayedCount_ = workingCount_;
  displayed_ = working_;
}

void SatellitesInView::fillFromBinr(const BinrSatsInView& view, const UsedSatellites& used) {
  const int count = std::min<int>(view.satCount, kMaxEntries);
  for (int i = 0; i < count; ++i) {
    const BinrSatInView& record = view.sat[i];
    SatelliteInView& entry = working_[size_t(i)];
    entry.system = record.system;
    entry.number = record.number;
    if (entry.system == kSatGps && entry.number > 32) {
      entry.system = kSatGpsBeyond;
      entry.number = uint8_t(entry.number - 32);
    }
    entry.elevation = record.elevation;
    entry.azimuth = record.azimuth;
    entry.snr = record.snr;
    markUsed(entry, used);
  }
  commit(count, false);
}

void SatellitesInView::fillFromBinr2(const Binr2SatsInView& view, const UsedSatellites& used) {
  const int count = std::min<int>(view.satCount, kMaxEntries);
  for (int i = 0; i < count; ++i) {
    const Binr2SatInView& record = view.sat[i];
    SatelliteInView& entry = working_[size_t(i)];
    entry.number = record.number;
    entry.system = binr2System(record.system);
    entry.elevation = record.elevation / 10;
    entry.azimuth = record.azimuth / 10;
    entry.snr = uint8_t(record.snr / 10);
    markUsed(entry, used);
  }
  commit(count, false);
}

bool SatellitesInView::fillFromNmea(NmeaKind kind, const NmeaFieldTable& gsv, bool glonassSeen,
                                    const UsedSatellites& used, bool snrShown) {
  bool committed = false;
  // A GPGSV (GLGSV) sentence after a complete group of its own begins the next cycle.
  if ((kind == NmeaKind::GPGSV && gpsGroupDone_) || (kind == NmeaKind::GLGSV && glonassGroupDone_)) {
    commit(gsvFill_, snrShown);
    gsvFill_ = 0;
    gpsGroupDone_ = glonassGroupDone_ = false;
    committed = true;
  }
  if (gsv.leadingIntOf(1) == gsv.leadingIntOf(2)) {
    if (kind == NmeaKind::GPGSV) gpsGroupDone_ = true;
    if (kind == NmeaKind::GLGSV) glonassGroupDone_ = true;
  }
  const int n = (int(gsv.fieldCount) - 3) / 4;
  const int first = gsvFill_;
  const int end = std::min(first + n, int(kMaxEntries));
  // Each entry is changed aside and stored whole: its single bytes, stored one
  // by one into the table, would make every member be read again after them.
  for (int slot = first; slot < end; ++slot) {
    SatelliteInView entry = working_[size_t(slot)];
    fillNmeaSlot(entry, kind, gsv, 4 + 4 * (slot - first), glonassSeen);
    if (entry.system != kSatNone) markUsed(entry, used);
    working_[size_t(slot)] = entry;
  }
  gsvFill_ = std::min(gsvFill_ + n, int32_t(kMaxEntries));
  return committed;
}

// Fields `field` to `field` + 3: number, elevation, azimuth and SNR. Number 0
// (or an empty field) leaves an empty entry that still takes its slot.
void SatellitesInView::fillNmeaSlot(SatelliteInView& entry, NmeaKind kind, const NmeaFieldTable& gsv, int field,
                                    bool glonassSeen) {
  const uint8_t number = uint8_t(gsv.leadingIntOf(field));
  entry.number = number;
  if (number == 0) {
    entry.system = kSatNone;
    return;
  }
  if (number <= 32) {
    entry.system = kSatGps;
  } else if (number > 64 && glonassSeen && kind == NmeaKind::GPGSV) {
    entry.system = kSatGpsBeyond;
    entry.number = uint8_t(number - 64);
  } else if (number >= 64 && number <= 88) {
    entry.system = kSatGlonass;
    entry.number = uint8_t(number - 64);
  } else if (number < 64) {
    entry.system = kSatSbas;  // NMEA 33 to 63 are SBAS 120 to 150
    entry.number = uint8_t(number + 87);
  } else if (number >= 151 && number <= 200) {
    entry.system = kSatGalileo;
    entry.number = uint8_t(number - 150);
  } else if (number > 200) {
    entry.system = kSatBeidou;
    entry.number = uint8_t(number - 200);
  } else {
    entry.system = kSatNone;  // 89 to 150: no system of these numbers
  }
  entry.elevation = gsv.leadingIntOf(field + 1);
  entry.azimuth = gsv.leadingIntOf(field + 2);
  entry.snr = uint8_t(gsv.leadingIntOf(field + 3));
}

}  // namespace veltrano
