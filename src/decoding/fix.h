#pragma once
// One navigation solution in the program's units, built once per message from
// the receiver state of its protocol. Every consumer (the Position, Statistic
// and Visual windows, the statistic filter, the NMEA conversion) reads this and
// nothing else of the solution. Where a consumer must keep a quirk of one
// protocol, the quirk is an explicit field.
#include <cstdint>

#include "decoding/nmea_kind.h"
#include "decoding/transport_fields.h"

namespace veltrano {

// A figure as the receiver stated it. `single` marks a value that came in single
// precision, so that a display limit is compared in that precision (a single
// 99.9 is not above a limit of 99.9).
struct Figure {
  double value = 0;
  bool single = false;
};

// A dilution of precision and where it came from.
struct Dop {
  enum class Form : uint8_t {
    Absent,    // nothing new: NMEA without the field; reads as 0
    Single,    // BINR: a single-precision number
    Tenths,    // BINR2: a count of tenths (value holds the count)
    Field,     // NMEA GGA or GNS field
    GsaField,  // NMEA GSA field
  };
  Form form = Form::Absent;
  double value = 0;

  // The dilution itself.
  double dop() const { return form == Form::Tenths ? value * 0.1 : value; }
};

// The fix status the Position window shows.
enum class FixStatus : uint8_t {
  Stale,       // no valid solution: "OLD"
  Corrected,   // "CORR"
  TwoD,
  ThreeD,
  TwoDDiff,
  ThreeDDiff,
  RtkInt,
  RtkFloat,
  Estimated,   // NMEA quality 6: dead reckoning
  Undefined,
};

// Time of day as the conversion's sentences print it: hours, minutes and
// seconds split without carrying a rounded 60.000 into the minute.
struct SplitTime {
  int32_t hh = 0, mm = 0;
  double ss = 0;
};

struct Fix {
  ReceiverProtocol protocol = ReceiverProtocol::NMEA;
  // NMEA: the sentence the position was read from (GGA, RMC or GNS).
  NmeaKind sentence = NmeaKind::None;

  // Position: radians (north and east positive) and metres above the geoid.
  double latitude = 0, longitude = 0, height = 0;
  // False where the sentence has no height (RMC); height is then 0.
  bool hasHeight = true;
  // BINR2 only: the geoid's separation in metres.
  bool hasGeoidSeparation = false;
  double geoidSeparation = 0;

  // Motion over ground, for the displays and the conversion. Binary protocols
  // derive it from their velocities taken in single precision; NMEA reads RMC.
  double speed = 0;     // metres per second
  double speedKmh = 0;  // kilometres per hour
  double course = 0;    // degrees, 0 to 360; 0 without motion
  // The speed that the statistics accumulate, in metres per second: BINR from
  // its double velocities, BINR2 rounded to single precision, NMEA from RMC.
  double statisticSpeed = 0;

  Figure rms;  // rms 2D error estimate, metres (NMEA: $PORZD)
  Dop hdop, vdop;
  // The HDOP the statistic filter checks. NMEA differs from hdop: the filter
  // reads GNS when GNS carries the position, else GSA without any GGA, else GGA.
  Dop statisticHdop;

  // Quality as the Position window shows it.
  FixStatus status = FixStatus::Stale;
  // Quality as the statistic filter and the conversion read it.
  bool valid = false;
  bool differential = false;
  bool estimated = false;       // NMEA quality 6 or above
  bool threeD = false;          // a three-dimensional solution, for the 3D filter
  bool twoDimensional = false;  // binary status bit 1, for the GSA mode
  bool anomaly = false;         // binary anomaly flag, counted in Nanom
  // NMEA GGA's age of corrections, in seconds.
  bool hasDiffAge = false;
  float diffAge = 0;

  // Time and date as the Position window shows them: "hh:mm:ss.ss" and
  // "dd.mm.yy" ("---.---.---" without a date).
  char utcText[48] = {};
  char dateText[16] = {};
  // Binary only: time of day and "ddmmyy" (empty without a date) as the
  // conversion writes them.
  SplitTime sentenceTime;
  char sentenceDate[16] = {};

  // Satellites used: binary from the solution's messages, NMEA from GGA or GNS
  // (none where RMC carries the position or the field is empty).
  bool hasSatsUsed = true;
  int32_t satsUsed = 0;
  // Binary only: the GPS and GLONASS used masks (bit i is satellite i + 1) that
  // the conversion's GSA lists.
  uint32_t gpsUsedMask = 0, glonassUsedMask = 0;
};

}  // namespace veltrano
