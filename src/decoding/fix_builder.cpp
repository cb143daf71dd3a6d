#include "decoding/fix_builder.h"

#include <cmath>
#include <string>
#include <string_view>

#include "decoding/nmea_assembler.h"
#include "decoding/nmea_position_source.h"
#include "util/formatters.h"
#include "util/nmea_numbers.h"

namespace veltrano {

namespace {

constexpr const char* kNoDate = "---.---.---";
constexpr double kBinr2UnitToRadians = 1e-7 * kPi / 180;
constexpr double kKilometresPerNauticalMile = 1.852;

template <size_t N>
void copyText(char (&to)[N], std::string_view text) {
  const size_t n = text.size() < N ? text.size() : N - 1;
  text.copy(to, n);
  to[n] = '\0';
}

// Speed and course from north and east velocities in single precision.
void setMotion(Fix& fix, float north, float east) {
  const float speed = float(std::sqrt(double(north) * north + double(east) * east));
  fix.speed = speed;
  fix.speedKmh = double(speed) * 3.6;
  fix.course = 0;
  if (north != 0 || east != 0) {
    fix.course = std::atan2(double(east), double(north)) * 180 / kPi;
    if (fix.course < 0) fix.course += 360;
  }
}

// The status byte of a binary solution; rtkStep adds BINR's RTK states.
FixStatus statusOfByte(uint8_t status, bool rtkStep) {
  if (!(status & 0x01)) return FixStatus::Stale;
  if (status & 0x20) return FixStatus::Corrected;
  const bool twoD = status & 0x02;
  if (!(status & 0x08)) return twoD ? FixStatus::TwoD : FixStatus::ThreeD;
  if (rtkStep && (status & 0x80)) return FixStatus::RtkInt;
  if (rtkStep && (status & 0x40)) return FixStatus::RtkFloat;
  return twoD ? FixStatus::TwoDDiff : FixStatus::ThreeDDiff;
}

// The status of an NMEA quality code and the GSA fix type.
FixStatus statusOfCode(int32_t code, int32_t fixType) {
  switch (code) {
    case 0: return FixStatus::Stale;
    case 1: return fixType == 2 ? FixStatus::TwoD : FixStatus::ThreeD;
    case 2: return fixType == 2 ? FixStatus::TwoDDiff : FixStatus::ThreeDDiff;
    case 4: return FixStatus::RtkInt;
    case 5: return FixStatus::RtkFloat;
    case 6: return FixStatus::Estimated;
    default: return FixStatus::Undefined;
  }
}

// GGA quality code of a GNS mode indicator.
int32_t gnsModeQuality(std::string_view mode) {
  switch (mode.empty() ? '\0' : mode[0]) {
    case 'A': return 1;
    case 'D': return 2;
    case 'R': return 4;
    case 'F': return 5;
    case 'E': return 6;
    default: return 0;
  }
}

// RMC's status: 'V' is no fix; anything else, an empty field too, a fix.
int32_t rmcQuality(const NmeaFieldTable& rmc) {
  const std::string_view status = rmc.text(2);
  return (!status.empty() && status[0] == 'V') ? 0 : 1;
}

void setTimeTexts(Fix& fix, double seconds, int32_t secondsOfWeek, int32_t week) {
  copyText(fix.utcText, formatTimeOfDay(seconds));
  copyText(fix.dateText, week >= 0 ? formatWeekDate(secondsOfWeek, week) : std::string(kNoDate));
}

SplitTime splitTime(double t) {
  const double days = std::trunc(t / 86400);
  t = t - 86400 * days;
  const int32_t hh = truncToInt(t / 3600);
  t = t - 3600.0 * hh;
  const int32_t mm = truncToInt(t / 60);
  return {hh, mm, t - 60.0 * mm};
}

// "ddmmyy" of a GPS week date; empty when the week, read as a signed 16-bit
// number, is negative.
void setSentenceDate(Fix& fix, int32_t wholeSeconds, int32_t week) {
  fix.sentenceDate[0] = '\0';
  const int16_t week16 = int16_t(week);
  if (week16 < 0) return;
  size_t n = 0;
  for (char c : formatWeekDate(wholeSeconds, week16))
    if (c != '.' && n + 1 < sizeof fix.sentenceDate) fix.sentenceDate[n++] = c;
  fix.sentenceDate[n] = '\0';
}

// Two-character pieces of an NMEA text joined by a separator, cut by the
// substring rule: "hh:mm:ss.ss" of a time field, "dd.mm.yy" of a date field.
template <size_t N>
void setPieces(char (&to)[N], std::string_view field, char separator, int lastCount) {
  const std::string_view a = fieldPiece(field, 1, 2);
  const std::string_view b = fieldPiece(field, 3, 2);
  const std::string_view c = fieldPiece(field, 5, lastCount);
  size_t n = 0;
  // Each piece ends at a NUL, as printf's "%.*s" ends it; the text is cut to fit.
  const auto put = [&](std::string_view piece) {
    for (char ch : piece) {
      if (ch == '\0') break;
      if (n + 1 < N) to[n++] = ch;
    }
  };
  put(a);
  put(std::string_view(&separator, 1));
  put(b);
  put(std::string_view(&separator, 1));
  put(c);
  to[n] = '\0';
}

Dop fieldDop(Dop::Form form, std::string_view text) { return {form, leadingReal(text)}; }

}  // namespace

void buildBinrFix(const BinrState& binr, Fix& fix) {
  const BinrNavSolution& nav = binr.navSolution;
  const uint8_t status = nav.solutionStatus;
  fix = Fix{};
  fix.protocol = ReceiverProtocol::BINR;
  fix.latitude = nav.latitude;
  fix.longitude = nav.longitude;
  fix.height = nav.height;
  setMotion(fix, toSingle(nav.velocityNorth), toSingle(nav.velocityEast));
  fix.statisticSpeed = std::sqrt(nav.velocityNorth * nav.velocityNorth + nav.velocityEast * nav.velocityEast);
  fix.rms = {nav.rmsError, true};
  fix.hdop = {Dop::Form::Single, binr.dop.hdop};
  fix.vdop = {Dop::Form::Single, binr.dop.vdop};
  fix.statisticHdop = fix.hdop;
  fix.status = statusOfByte(status, true);
  fix.valid = status & 0x01;
  fix.differential = status & 0x08;
  fix.threeD = !(status & 0x02) && !(status & 0x20);
  fix.twoDimensional = status & 0x02;
  fix.anomaly = binr.status.statusFlags1 & 0x80;
  const double seconds = nav.timeOfWeek * 0.001;
  setTimeTexts(fix, seconds, truncToInt(seconds + 0.5), nav.week);
  const double sentenceSeconds = nav.timeOfWeek / 1000 + 0.0005;
  fix.sentenceTime = splitTime(sentenceSeconds);
  setSentenceDate(fix, truncToInt(sentenceSeconds), nav.week);
  fix.satsUsed = binr.dop.gpsUsed + binr.dop.glonassUsed;
  fix.gpsUsedMask = binr.status.gpsUsedMask;
  fix.glonassUsedMask = binr.status.glonassUsedMask;
}

void buildBinr2Fix(const Binr2State& binr2, Fix& fix) {
  const Binr2NavSolution& nav = binr2.navSolution;
  const uint8_t flags = nav.statusFlags1;
  fix = Fix{};
  fix.protocol = ReceiverProtocol::BINR2;
  fix.latitude = nav.latitude * kBinr2UnitToRadians;
  fix.longitude = nav.longitude * kBinr2UnitToRadians;
  fix.height = (double(nav.ellipsoidHeight) - double(nav.geoidSeparation)) * 0.01;
  fix.hasGeoidSeparation = true;
  fix.geoidSeparation = nav.geoidSeparation * 0.01;
  const double north = nav.velocityNorth * 0.01;
  const double east = nav.velocityEast * 0.01;
  setMotion(fix, float(north), float(east));
  fix.statisticSpeed = float(std::sqrt(north * north + east * east));
  const double error1 = nav.errorComponent1 * 0.1;
  const double error2 = nav.errorComponent2 * 0.1;
  fix.rms = {float(std::sqrt(error1 * error1 + error2 * error2)), true};
  fix.hdop = {Dop::Form::Tenths, double(nav.hdop)};
  fix.vdop = {Dop::Form::Tenths, double(nav.vdop)};
  fix.statisticHdop = fix.hdop;
  fix.status = statusOfByte(flags, false);
  fix.valid = flags & 0x01;
  fix.differential = flags & 0x08;
  fix.threeD = !(flags & 0x02) && !(flags & 0x04);
  fix.twoDimensional = flags & 0x02;
  fix.anomaly = flags & 0x80;
  const CorrectedTime time = correctedTime(binr2);
  // The date reads the week as a signed 16-bit number, so that 0xFFFF is week
  // -1 and shows no date; the leap-second step may have taken a week off.
  const int32_t weekStep = int32_t(nav.week) - time.week;
  const int32_t week = int32_t(int16_t(nav.week)) - weekStep;
  setTimeTexts(fix, time.seconds, truncToInt(time.seconds), week);
  fix.sentenceTime = splitTime(time.seconds);
  setSentenceDate(fix, truncToInt(time.seconds), time.week);
  fix.satsUsed = nav.gpsUsed + nav.glonassUsed;
  fix.gpsUsedMask = binr2.satMasks.gpsUsedMask;
  fix.glonassUsedMask = binr2.satMasks.glonassUsedMask;
}

void buildNmeaFix(const NmeaAssembler& nmea, Fix& fix) {
  const NmeaKind kind = nmeaPositionSentence(nmea);
  const NmeaFieldTable& sentence = nmea.stored(kind);
  const NmeaFieldTable& gga = nmea.stored(NmeaKind::GGA);
  const NmeaFieldTable& rmc = nmea.stored(NmeaKind::RMC);
  const NmeaFieldTable& gsa = nmea.stored(NmeaKind::GSA);
  fix = Fix{};
  fix.protocol = ReceiverProtocol::NMEA;
  fix.sentence = kind;

  const int first = kind == NmeaKind::RMC ? 3 : 2;  // latitude field
  fix.latitude = nmeaCoordinateToRadians(sentence.text(first), sentence.text(first + 1), 2);
  fix.longitude = nmeaCoordinateToRadians(sentence.text(first + 2), sentence.text(first + 3), 3);
  setPieces(fix.utcText, sentence.text(1), ':', 5);

  int32_t shownQuality = 0;
  if (kind == NmeaKind::RMC) {
    fix.hasHeight = false;
    fix.hasSatsUsed = false;
    shownQuality = rmcQuality(sentence);
  } else {
    fix.height = leadingReal(sentence.text(9));
    fix.hasSatsUsed = !sentence.text(7).empty();
    fix.satsUsed = sentence.leadingIntOf(7);
    fix.hdop = fieldDop(Dop::Form::Field, sentence.text(8));
    if (kind == NmeaKind::GNS) {
      shownQuality = gnsModeQuality(sentence.text(6));
    } else {
      shownQuality = sentence.leadingIntOf(6);
      const std::string_view age = sentence.text(13);
      if (!age.empty()) {
        fix.hasDiffAge = true;
        fix.diffAge = toSingle(leadingReal(age));
      }
    }
  }

  const std::string_view date = rmc.text(9);
  if (date.empty())
    copyText(fix.dateText, kNoDate);
  else
    setPieces(fix.dateText, date, '.', 2);

  fix.speedKmh = leadingReal(rmc.text(7)) * kKilometresPerNauticalMile;
  fix.course = leadingReal(rmc.text(8));
  fix.statisticSpeed = leadingReal(rmc.text(7)) * kKilometresPerNauticalMile * (1 / 3.6);
  fix.speed = fix.statisticSpeed;

  // The last three fields of a GSA sentence are PDOP, HDOP and VDOP; without
  // GGA its HDOP is the one shown.
  const int gsaCount = gsa.fieldCount;
  if (gsaCount > 0) {
    if (nmea.ggaCount == 0 && gsaCount - 2 >= 1) fix.hdop = fieldDop(Dop::Form::GsaField, gsa.text(gsaCount - 2));
    if (gsaCount - 1 >= 1) fix.vdop = fieldDop(Dop::Form::GsaField, gsa.text(gsaCount - 1));
  }
  fix.rms = {leadingReal(nmea.stored(NmeaKind::RZD).text(2)), false};
  const int32_t fixType = gsa.leadingIntOf(2);
  fix.status = statusOfCode(shownQuality, fixType);

  // The statistic filter reads GGA's quality and HDOP unless GNS carries the
  // position, or no GGA came at all (then RMC's status and GSA's HDOP).
  int32_t quality = gga.leadingIntOf(6);
  fix.statisticHdop = fieldDop(Dop::Form::Field, gga.text(8));
  if (kind == NmeaKind::GNS) {
    quality = gnsModeQuality(sentence.text(6));
    fix.statisticHdop = fieldDop(Dop::Form::Field, sentence.text(8));
  } else if (nmea.ggaCount == 0) {
    quality = rmcQuality(rmc);
    fix.statisticHdop = fieldDop(Dop::Form::GsaField, gsa.text(gsa.fieldCount - 2));
  }
  fix.valid = quality != 0;
  fix.differential = quality == 2 || quality == 4 || quality == 5;
  fix.estimated = quality >= 6;
  fix.threeD = fixType != 2;
}

}  // namespace veltrano
