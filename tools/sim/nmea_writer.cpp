#include "sim/nmea_writer.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "sim/gnss_time.h"
#include "util/formatters.h"

namespace veltrano::sim {

namespace {
constexpr double kKnotsPerMetreSecond = 3600.0 / 1852.0;
constexpr double kBaseDistance = 1523.4;  // metres to the differential base station

int nmeaNumber(const SkySatellite& sat) {
  switch (sat.system) {
    case GnssSystem::Gps: return sat.number;
    case GnssSystem::Glonass: return sat.number + 64;
    case GnssSystem::Galileo: return sat.number + 150;
    case GnssSystem::Beidou: return sat.number + 200;
    case GnssSystem::Sbas: return sat.number - 87;
  }
  return 0;
}

const char* systemTalker(GnssSystem system) {
  switch (system) {
    case GnssSystem::Glonass: return "GL";
    case GnssSystem::Galileo: return "GA";
    case GnssSystem::Beidou: return "BD";
    default: return "GP";
  }
}

// "ddmm.mmmmm" or "dddmm.mmmmm" and the hemisphere.
void formatCoordinate(double radians, int degreeDigits, char positive, char negative, char* out, size_t size) {
  const long long total = std::llround(std::fabs(radians) * 180.0 / kPi * 60.0 * 100000.0);
  std::snprintf(out, size, "%0*lld%02lld.%05lld,%c", degreeDigits, total / 6000000, total % 6000000 / 100000,
                total % 100000, radians < 0 ? negative : positive);
}
}  // namespace

NmeaWriter::NmeaWriter(const SimOptions& opts, FrameCorrupter& c) : options(opts), corrupter(c) {}

void NmeaWriter::begin() { length = 0; }

void NmeaWriter::append(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const int room = int(sizeof text) - length;
  const int n = std::vsnprintf(text + length, size_t(room), format, args);
  va_end(args);
  if (n > 0) length += n < room ? n : room - 1;
}

// ",%0<width>d" written out by hand: the satellite fields of the GSA and GSV
// sentences are most of what a flood writes.
void NmeaWriter::appendText(const char* piece) {
  while (*piece && length + 1 < int(sizeof text)) text[length++] = *piece++;
}

void NmeaWriter::appendNumber(int value, int width) {
  if (value < 0 || int(sizeof text) - length < 16) return append(",%0*d", width, value);
  char digits[12];
  int n = 0;
  do {
    digits[n++] = char('0' + value % 10);
    value /= 10;
  } while (value > 0);
  text[length++] = ',';
  for (int pad = n; pad < width; ++pad) text[length++] = '0';
  while (n > 0) text[length++] = digits[--n];
}

void NmeaWriter::appendCoordinates(const Epoch& epoch) {
  char lat[48], lon[48];
  formatCoordinate(epoch.latitude, 2, 'N', 'S', lat, sizeof lat);
  formatCoordinate(epoch.longitude, 3, 'E', 'W', lon, sizeof lon);
  append(",%s,%s", lat, lon);
}

void NmeaWriter::finish(OutputBuffer& out, bool periodic) {
  uint8_t sum = 0;
  for (int i = 1; i < length; ++i) sum ^= uint8_t(text[i]);
  if (periodic && corrupter.next()) sum ^= 0x5A;
  static constexpr char kHex[] = "0123456789ABCDEF";
  const char tail[] = {'*', kHex[sum >> 4], kHex[sum & 15], '\r', '\n', '\0'};
  appendText(tail);
  out.put(reinterpret_cast<const uint8_t*>(text), size_t(length));
  out.endFrame();
}

void NmeaWriter::writeEpoch(const Epoch& epoch, OutputBuffer& out) {
  const CalendarTime utc = utcCalendar(epoch.gpsMillis);
  std::snprintf(timeField, sizeof timeField, "%02d%02d%02d.%02d", utc.hour, utc.minute, utc.second,
                utc.millisecond / 10);
  const uint16_t set = options.sentences;
  if (set & kSentenceGga) writeGga(epoch, out);
  if (set & kSentenceGns) writeGns(epoch, out);
  if (set & kSentenceRmc) writeRmc(epoch, out);
  if (set & kSentenceGsa) {
    for (GnssSystem system : {GnssSystem::Gps, GnssSystem::Glonass, GnssSystem::Galileo, GnssSystem::Beidou})
      if (options.systems & systemBit(system)) writeGsa(epoch, system, out);
  }
  if ((set & kSentenceGsv) && epoch.satellitesDue) {
    writeGsvGroup(epoch, "GPGSV", GnssSystem::Gps, GnssSystem::Sbas, out);
    writeGsvGroup(epoch, "GLGSV", GnssSystem::Glonass, GnssSystem::Glonass, out);
    writeGsvGroup(epoch, "GAGSV", GnssSystem::Galileo, GnssSystem::Galileo, out);
    writeGsvGroup(epoch, "BDGSV", GnssSystem::Beidou, GnssSystem::Beidou, out);
  }
  if (set & kSentenceGbs) writeGbs(epoch, out);
  if (set & kSentenceBss) writeBss(epoch, out);
  if (set & kSentenceRzd) writeRzd(epoch, out);
}

void NmeaWriter::writeGga(const Epoch& epoch, OutputBuffer& out) {
  begin();
  append("$%sGGA,%s", options.talker.c_str(), timeField);
  appendCoordinates(epoch);
  append(",%d,%02d,%.1f,%.1f,M,%.1f,M,", epoch.valid ? (epoch.differential ? 2 : 1) : 0, epoch.usedCount,
         epoch.hdop, epoch.height, epoch.geoidSeparation);
  if (epoch.differential) append("%.1f,0001", epoch.differentialAge);
  else appendText(",");
  finish(out, true);
}

void NmeaWriter::writeGns(const Epoch& epoch, OutputBuffer& out) {
  char mode[5] = {};
  const GnssSystem order[4] = {GnssSystem::Gps, GnssSystem::Glonass, GnssSystem::Galileo, GnssSystem::Beidou};
  for (int i = 0; i < 4; ++i)
    mode[i] = !epoch.valid || epoch.usedBySystem[int(order[i])] == 0 ? 'N' : (epoch.differential ? 'D' : 'A');
  begin();
  append("$%sGNS,%s", options.talker.c_str(), timeField);
  appendCoordinates(epoch);
  append(",%s,%02d,%.1f,%.1f,%.1f,", mode, epoch.usedCount, epoch.hdop, epoch.height, epoch.geoidSeparation);
  if (epoch.differential) append("%.1f,0001", epoch.differentialAge);
  else appendText(",");
  finish(out, true);
}

void NmeaWriter::writeRmc(const Epoch& epoch, OutputBuffer& out) {
  const CalendarTime utc = utcCalendar(epoch.gpsMillis);
  const double speed = std::hypot(epoch.velocityNorth, epoch.velocityEast) * kKnotsPerMetreSecond;
  double course = std::atan2(epoch.velocityEast, epoch.velocityNorth) * 180.0 / kPi;
  if (course < 0) course += 360.0;
  begin();
  append("$%sRMC,%s,%c", options.talker.c_str(), timeField, epoch.valid ? 'A' : 'V');
  appendCoordinates(epoch);
  append(",%.2f,%.1f,%02d%02d%02d,,,%c", speed, course, utc.day, utc.month, utc.year % 100,
         epoch.valid ? (epoch.differential ? 'D' : 'A') : 'N');
  finish(out, true);
}

void NmeaWriter::writeGsa(const Epoch& epoch, GnssSystem system, OutputBuffer& out) {
  begin();
  append("$%sGSA,A,%d", options.talker == "GN" ? "GN" : systemTalker(system), epoch.valid ? 3 : 1);
  int fields = 0;
  for (int i = 0; i < epoch.satCount && fields < 12; ++i) {
    const SkySatellite& sat = epoch.sats[i];
    if (sat.system != system || !sat.used) continue;
    appendNumber(nmeaNumber(sat), 2);
    ++fields;
  }
  for (; fields < 12; ++fields) appendText(",");
  append(",%.1f,%.1f,%.1f", epoch.pdop, epoch.hdop, epoch.vdop);
  finish(out, true);
}

void NmeaWriter::writeGsvGroup(const Epoch& epoch, const char* address, GnssSystem first, GnssSystem second,
                               OutputBuffer& out) {
  int members[kMaxSkySatellites];
  int n = 0;
  const GnssSystem systems[2] = {first, second};
  for (int s = 0; s < (first == second ? 1 : 2); ++s)
    for (int i = 0; i < epoch.satCount; ++i)
      if (epoch.sats[i].system == systems[s]) members[n++] = i;
  const int total = (n + 3) / 4;
  for (int k = 0; k < total; ++k) {
    begin();
    appendText("$");
    appendText(address);
    appendNumber(total, 1);
    appendNumber(k + 1, 1);
    appendNumber(n, 2);
    for (int j = 4 * k; j < n && j < 4 * k + 4; ++j) {
      const SkySatellite& sat = epoch.sats[members[j]];
      const int azimuth = int(std::lround(sat.azimuth)) % 360;
      appendNumber(nmeaNumber(sat), 2);
      appendNumber(int(std::lround(sat.elevation)), 2);
      appendNumber(azimuth, 3);
      appendNumber(sat.snr, 2);
    }
    finish(out, true);
  }
}

void NmeaWriter::writeGbs(const Epoch& epoch, OutputBuffer& out) {
  begin();
  append("$%sGBS,%s,%.1f,%.1f,%.1f,,,,", options.talker.c_str(), timeField, epoch.sigmaNorth, epoch.sigmaEast,
         epoch.sigmaUp);
  finish(out, true);
}

void NmeaWriter::writeBss(const Epoch& epoch, OutputBuffer& out) {
  begin();
  append("$%sBSS,%u,0,%u,%.3f,", options.talker.c_str(), epoch.correctionCount, epoch.correctionCount,
         epoch.differential ? kBaseDistance : 0.0);
  if (epoch.differential) append("%.1f", epoch.differentialAge);
  finish(out, true);
}

void NmeaWriter::writeRzd(const Epoch& epoch, OutputBuffer& out) {
  begin();
  append("$PORZD,%c,%.1f", epoch.valid ? 'A' : 'V', epoch.rmsError);
  finish(out, true);
}

void NmeaWriter::writeVersion(OutputBuffer& out) {
  const std::string& v = options.firmware;
  begin();
  append("$ALVER,XRV,%s,%c%c%c%c", options.device.c_str(), v[0], v[1], v[3], v[4]);
  finish(out, false);
}

}  // namespace veltrano::sim
