#pragma once
// Where the per-message fan-out sends what it decoded: the windows, the NMEA
// conversion and, while the program searches for the receiver, the
// synchronisation. Each is small; a user without windows or link (the
// command-line tool) plugs in what it serves and leaves the rest to NoDisplay
// and NoSynchronisation.
#include <cstdint>
#include <string_view>

#include "decoding/binr2_state.h"
#include "decoding/binr_state.h"
#include "decoding/fix.h"
#include "decoding/nmea_field_table.h"
#include "decoding/nmea_kind.h"
#include "decoding/solution_satellites.h"

namespace veltrano {

// The windows. The program's implementation passes each call on to the windows
// that are shown.
class DisplaySink {
 public:
  virtual ~DisplaySink() = default;
  // A navigation solution, with the satellites it used where the protocol
  // tells them with the solution (BINR, BINR2).
  virtual void showSolution(const Fix& fix, const SolutionSatellites* satellites) = 0;
  // NMEA: a GSA sentence adds to the group of used satellites; any other
  // sentence ends the group.
  virtual void showGsa(const NmeaFieldTable& gsa) = 0;
  virtual void endGsaGroup() = 0;
  // NMEA: the base-station status sentence.
  virtual void showBss(const NmeaFieldTable& bss) = 0;
  // The receiver's identification text.
  virtual void showDevice(std::string_view text) = 0;
  // The number of rejected sentences or frames so far.
  virtual void showErrorCount(int32_t count) = 0;
  // Satellites in view: an NMEA satellites-in-view sentence of `kind` (with
  // whether GLONASS ones came since the counters were reset), BINR message
  // 0x52, BINR2 message 0xA0.
  virtual void showSatellitesInView(NmeaKind kind, const NmeaFieldTable& gsv, bool glonassSeen) = 0;
  virtual void showSatellitesInView(const BinrSatsInView& view) = 0;
  virtual void showSatellitesInView(const Binr2SatsInView& view) = 0;
};

// The NMEA conversion of a binary stream.
class ConversionSink {
 public:
  virtual ~ConversionSink() = default;
  // GGA, RMC, GSA and $PORZD.
  virtual void writeSolution(const Fix& fix) = 0;
  // A GPGSV group.
  virtual void writeSatellitesInView(const BinrSatsInView& view) = 0;
  virtual void writeSatellitesInView(const Binr2SatsInView& view) = 0;
  // $ALVER.
  virtual void writeVersion(const BinrVersion& version) = 0;
  virtual void writeVersion(const Binr2DeviceId& id) = 0;
};

// The search for the receiver (SYNC), told what the receiver answered.
class SyncSink {
 public:
  virtual ~SyncSink() = default;
  // NMEA: the first recognised sentence of a search; the receiver speaks at
  // the rate of the current search step.
  virtual void receiverHeard() = 0;
  // BINR: the receiver reported its status (0x02) during the search.
  virtual void receiverStatusReported() = 0;
  // BINR 0x50 (in any state) or BINR2's acknowledgement of the rate command:
  // the receiver moves to the selected rate, so the port follows.
  virtual void rateAcknowledged() = 0;
  // The receiver named itself during the search. `recordExtension` is the
  // extension of the record file to name after it, or null to keep the name;
  // `connected` ends the search with success.
  virtual void receiverIdentified(const char* recordExtension, bool connected) = 0;
};

class NoDisplay : public DisplaySink {
 public:
  void showSolution(const Fix&, const SolutionSatellites*) override {}
  void showGsa(const NmeaFieldTable&) override {}
  void endGsaGroup() override {}
  void showBss(const NmeaFieldTable&) override {}
  void showDevice(std::string_view) override {}
  void showErrorCount(int32_t) override {}
  void showSatellitesInView(NmeaKind, const NmeaFieldTable&, bool) override {}
  void showSatellitesInView(const BinrSatsInView&) override {}
  void showSatellitesInView(const Binr2SatsInView&) override {}
};

class NoConversion : public ConversionSink {
 public:
  void writeSolution(const Fix&) override {}
  void writeSatellitesInView(const BinrSatsInView&) override {}
  void writeSatellitesInView(const Binr2SatsInView&) override {}
  void writeVersion(const BinrVersion&) override {}
  void writeVersion(const Binr2DeviceId&) override {}
};

class NoSynchronisation : public SyncSink {
 public:
  void receiverHeard() override {}
  void receiverStatusReported() override {}
  void rateAcknowledged() override {}
  void receiverIdentified(const char*, bool) override {}
};

}  // namespace veltrano
