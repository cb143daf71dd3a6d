#include "mainwindow/nmea_conversion_writer.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdarg>
#include <filesystem>
#include <system_error>

#include "util/formatters.h"

namespace veltrano {

namespace {

constexpr double kKnotsPerMetrePerSecond = 3.6 * 0.5399568034557235;

// The time of day, split from seconds of the week without carrying a rounded
// 60.000 seconds into the minute.
struct TimeOfDay {
  int32_t hh, mm;
  double ss;
};

TimeOfDay splitTime(double t) {
  const double days = std::trunc(t / 86400);
  t = t - 86400 * days;
  const int32_t hh = truncToInt(t / 3600);
  t = t - 3600.0 * hh;
  const int32_t mm = truncToInt(t / 60);
  return {hh, mm, t - 60.0 * mm};
}

// Degrees as NMEA writes them: degrees x 100 plus minutes, without sign.
double nmeaAngle(double degrees) {
  const double whole = std::trunc(degrees);
  return std::fabs(whole + (degrees - whole) * 0.6) * 100;
}

struct Solution {
  TimeOfDay time;
  double latitude, longitude;  // degrees
  bool valid, differential, twoDimensional;
};

char latitudeLetter(double latitude) { return latitude >= 0 ? 'N' : 'S'; }
char longitudeLetter(double longitude) { return longitude >= 0 ? 'E' : 'W'; }

Solution binrSolution(const BinrNavSolution& nav) {
  const uint8_t status = nav.solutionStatus;
  return {splitTime(nav.timeOfWeek / 1000 + 0.0005), nav.latitude * 180 / kPi, nav.longitude * 180 / kPi,
          (status & 0x01) != 0, (status & 0x08) != 0, (status & 0x02) != 0};
}

Solution binr2Solution(const Binr2State& state) {
  const Binr2NavSolution& nav = state.navSolution;
  const uint8_t status = nav.statusFlags1;
  return {splitTime(correctedTime(state).seconds), nav.latitude * 1e-7, nav.longitude * 1e-7,
          (status & 0x01) != 0, (status & 0x08) != 0, (status & 0x02) != 0};
}

char ggaQuality(const Solution& s) { return s.valid ? (s.differential ? '2' : '1') : '0'; }
char rmcMode(const Solution& s) { return s.valid ? (s.differential ? 'D' : 'A') : 'N'; }
int gsaMode(const Solution& s) { return s.twoDimensional ? 2 : (s.valid ? 3 : 1); }

// A double beyond the single range becomes an infinity of its sign.
float toSingle(double value) {
  if (value > FLT_MAX) return INFINITY;
  if (value < -FLT_MAX) return -INFINITY;
  return float(value);
}

struct Motion {
  double knots, course;  // course in degrees, 0 to 360
};

Motion motion(double north, double east) {
  const double speed = std::sqrt(north * north + east * east);
  double course = 0;
  if (north != 0 || east != 0) {
    course = std::atan2(east, north) * 180 / kPi;
    if (course < 0) course += 360;
  }
  return {speed * kKnotsPerMetrePerSecond, course};
}

// DDMMYY of a GPS week date; empty when the week, read as a signed 16-bit
// number, is negative (the date is unavailable).
struct RmcDate {
  char text[16] = {};
};

RmcDate rmcDate(int32_t wholeSeconds, int32_t week) {
  RmcDate date;
  const int16_t week16 = int16_t(week);
  if (week16 < 0) return date;
  const std::string dotted = formatWeekDate(wholeSeconds, week16);
  size_t n = 0;
  for (char c : dotted)
    if (c != '.' && n + 1 < sizeof date.text) date.text[n++] = c;
  return date;
}

// The GSA list: GPS i + 1, then GLONASS j + 65, each followed by a comma, padded
// with commas to 24 entries.
struct GsaList {
  char text[32 * 3 + 24 * 3 + 1] = {};
};

GsaList gsaList(uint32_t gpsMask, uint32_t glonassMask) {
  GsaList list;
  int length = 0;
  int entries = 0;
  const auto add = [&](int number) {
    length += std::snprintf(list.text + length, sizeof list.text - size_t(length), "%d,", number);
    ++entries;
  };
  for (int i = 0; i < 32; ++i)
    if (gpsMask & (uint32_t(1) << i)) add(i + 1);
  for (int j = 0; j < 24; ++j)
    if (glonassMask & (uint32_t(1) << j)) add(j + 65);
  for (; entries < 24; ++entries) list.text[length++] = ',';
  list.text[length] = '\0';
  return list;
}

int binrNmeaNumber(const BinrSatInView& sat) {
  switch (sat.system) {
    case 2:  // GLONASS
      return sat.number + 64;
    case 4:  // SBAS
      return sat.number - 87;
    case 8:  // Galileo
      return sat.number + 150;
    default:
      return sat.number;
  }
}

// BINR2 satellites get the numbers their systems have in BINR.
int binr2NmeaNumber(const Binr2SatInView& sat) {
  switch (sat.system & 0x07) {
    case 1:  // GLONASS
      return sat.number + 64;
    case 3:  // SBAS
      return sat.number - 87;
    case 4:  // Galileo
      return sat.number + 150;
    default:
      return sat.number;
  }
}

}  // namespace

std::string conversionFileName(std::string_view rawFileName) {
  const size_t slash = rawFileName.find_last_of('/');
  const size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  const size_t dot = rawFileName.find('.', nameStart);
  if (dot == std::string_view::npos) return std::string(rawFileName) + ".nme";
  return std::string(rawFileName.substr(0, dot + 1)) + "nme";
}

bool NmeaConversionWriter::openConversionFile(const std::string& rawFileName) {
  const std::string name = conversionFileName(rawFileName);
  std::error_code error;
  if (name == rawFileName || std::filesystem::equivalent(name, rawFileName, error)) {
    closeConversionFile();
    return false;
  }
  return openOutput(name);
}

bool NmeaConversionWriter::openOutput(const std::string& path) {
  closeConversionFile();
  writeFailed_ = false;
  file_ = std::fopen(path.c_str(), "wb");
  return file_ != nullptr;
}

void NmeaConversionWriter::closeConversionFile() {
  if (file_ == nullptr) return;
  if (std::fclose(file_) != 0) writeFailed_ = true;
  file_ = nullptr;
}

void NmeaConversionWriter::append(const char* format, ...) {
  const int room = kLineSize - kTailSize - length_;
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(line_ + length_, size_t(room), format, args);
  va_end(args);
  if (n > 0) length_ += std::min(n, room - 1);
}

void NmeaConversionWriter::finishLine() {
  uint8_t checksum = 0;
  for (int i = 1; i < length_ - 1; ++i) checksum ^= uint8_t(line_[i]);
  length_ += std::snprintf(line_ + length_, kTailSize, "%02X\r\n", checksum);
  if (file_ == nullptr) return;
  if (std::fwrite(line_, 1, size_t(length_), file_) != size_t(length_)) {
    closeConversionFile();
    writeFailed_ = true;
  }
}

void NmeaConversionWriter::writeGgaBinr() {
  const BinrNavSolution& nav = binr_.navSolution;
  const Solution s = binrSolution(nav);
  begin();
  append("$GPGGA,%02d%02d%06.3lf,%010.5lf,%c,%011.5lf,%c,%c,%d,%0.1f,%.1lf,M,,M,,*", s.time.hh, s.time.mm,
         s.time.ss, nmeaAngle(s.latitude), latitudeLetter(s.latitude), nmeaAngle(s.longitude),
         longitudeLetter(s.longitude), ggaQuality(s), binr_.dop.gpsUsed + binr_.dop.glonassUsed,
         double(binr_.dop.hdop), nav.height);
  finishLine();
}

void NmeaConversionWriter::writeGgaBinr2() {
  const Binr2NavSolution& nav = binr2_.navSolution;
  const Solution s = binr2Solution(binr2_);
  begin();
  append("$GPGGA,%02d%02d%06.3lf,%010.5lf,%c,%011.5lf,%c,%c,%d,%0.1f,%.1lf,M,%.1f,M,,*", s.time.hh, s.time.mm,
         s.time.ss, nmeaAngle(s.latitude), latitudeLetter(s.latitude), nmeaAngle(s.longitude),
         longitudeLetter(s.longitude), ggaQuality(s), nav.gpsUsed + nav.glonassUsed, nav.hdop * 0.1,
         (double(nav.ellipsoidHeight) - nav.geoidSeparation) * 0.01, nav.geoidSeparation * 0.01);
  finishLine();
}

void NmeaConversionWriter::writeRmcBinr() {
  const BinrNavSolution& nav = binr_.navSolution;
  const Solution s = binrSolution(nav);
  const Motion m = motion(toSingle(nav.velocityNorth), toSingle(nav.velocityEast));
  const RmcDate date = rmcDate(truncToInt(nav.timeOfWeek / 1000 + 0.0005), nav.week);
  begin();
  append("$GPRMC,%02d%02d%06.3lf,%c,%010.5lf,%c,%011.5lf,%c,%05.1f,%05.1f,%s,,,%c*", s.time.hh, s.time.mm,
         s.time.ss, s.valid ? 'A' : 'V', nmeaAngle(s.latitude), latitudeLetter(s.latitude),
         nmeaAngle(s.longitude), longitudeLetter(s.longitude), m.knots, m.course, date.text, rmcMode(s));
  finishLine();
}

void NmeaConversionWriter::writeRmcBinr2() {
  const Binr2NavSolution& nav = binr2_.navSolution;
  const Solution s = binr2Solution(binr2_);
  const Motion m = motion(nav.velocityNorth * 0.01, nav.velocityEast * 0.01);
  const CorrectedTime time = correctedTime(binr2_);
  const RmcDate date = rmcDate(truncToInt(time.seconds), time.week);
  begin();
  append("$GPRMC,%02d%02d%06.3lf,%c,%010.5lf,%c,%011.5lf,%c,%05.1f,%05.1f,%s,,,%c*", s.time.hh, s.time.mm,
         s.time.ss, s.valid ? 'A' : 'V', nmeaAngle(s.latitude), latitudeLetter(s.latitude),
         nmeaAngle(s.longitude), longitudeLetter(s.longitude), m.knots, m.course, date.text, rmcMode(s));
  finishLine();
}

void NmeaConversionWriter::writeGsaBinr() {
  const Solution s = binrSolution(binr_.navSolution);
  const GsaList list = gsaList(binr_.status.gpsUsedMask, binr_.status.glonassUsedMask);
  begin();
  append("$GPGSA,A,%d,%s,%0.1f,%0.1f*", gsaMode(s), list.text, double(binr_.dop.hdop), double(binr_.dop.vdop));
  finishLine();
}

void NmeaConversionWriter::writeGsaBinr2() {
  const Binr2NavSolution& nav = binr2_.navSolution;
  const Solution s = binr2Solution(binr2_);
  const GsaList list = gsaList(binr2_.satMasks.gpsUsedMask, binr2_.satMasks.glonassUsedMask);
  begin();
  append("$GPGSA,A,%d,%s,%0.1f,%0.1f*", gsaMode(s), list.text, nav.hdop * 0.1, nav.vdop * 0.1);
  finishLine();
}

void NmeaConversionWriter::writePorzdBinr() {
  const BinrNavSolution& nav = binr_.navSolution;
  begin();
  append("$PORZD,%c,%.1f*", (nav.solutionStatus & 0x01) ? 'A' : 'V', double(nav.rmsError));
  finishLine();
}

void NmeaConversionWriter::writePorzdBinr2() {
  const Binr2NavSolution& nav = binr2_.navSolution;
  const double e1 = nav.errorComponent1 * 0.1, e2 = nav.errorComponent2 * 0.1;
  begin();
  append("$PORZD,%c,%.1f*", (nav.statusFlags1 & 0x01) ? 'A' : 'V', std::sqrt(e1 * e1 + e2 * e2));
  finishLine();
}

void NmeaConversionWriter::writeGsvBinr() {
  const BinrSatsInView& view = binr_.satsInView;
  const int n = std::min<int>(view.satCount, BinrSatsInView::kMaxSats);
  const int total = (n + 3) / 4;
  for (int k = 1; k <= total; ++k) {
    begin();
    append("$GPGSV,%d,%d,%d", total, k, n);
    for (int i = (k - 1) * 4; i < std::min(k * 4, n); ++i) {
      const BinrSatInView& sat = view.sat[i];
      append(",%02d,%02d,%03d,%02d", binrNmeaNumber(sat), sat.elevation, sat.azimuth, sat.snr);
    }
    append("*");
    finishLine();
  }
}

void NmeaConversionWriter::writeGsvBinr2() {
  const Binr2SatsInView& view = binr2_.satsInView;
  const int n = std::min<int>(view.satCount, Binr2SatsInView::kMaxSats);
  const int total = (n + 3) / 4;
  for (int k = 1; k <= total; ++k) {
    begin();
    append("$GPGSV,%d,%d,%d", total, k, n);
    for (int i = (k - 1) * 4; i < std::min(k * 4, n); ++i) {
      const Binr2SatInView& sat = view.sat[i];
      append(",%02d,%02d,%03d,%02d", binr2NmeaNumber(sat), sat.elevation / 10, sat.azimuth / 10, sat.snr / 10);
    }
    append("*");
    finishLine();
  }
}

// The device name is the first five characters of the version text; the four
// version digits stand at payload offsets 7, 8, 10 and 11, that is text
// positions 6, 7, 9 and 10. A NUL there (a shorter text) is left out.
void NmeaConversionWriter::writeAlverBinr() {
  const char* text = binr_.version.versionText;
  begin();
  append("$ALVER,XRV,%.5s,", text);
  for (int at : {6, 7, 9, 10})
    if (text[at] != '\0') append("%c", text[at]);
  append("*");
  finishLine();
}

void NmeaConversionWriter::writeAlverBinr2() {
  const Binr2DeviceId& id = binr2_.deviceId;
  begin();
  append("$ALVER,XRV,%s,%s%s*", id.deviceName, id.versionMajor, id.versionMinor);
  finishLine();
}

}  // namespace veltrano
