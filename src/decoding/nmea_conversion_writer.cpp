#include "decoding/nmea_conversion_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <filesystem>
#include <system_error>

#include "util/formatters.h"

namespace veltrano {

namespace {

constexpr double kKnotsPerMetrePerSecond = 3.6 * 0.5399568034557235;

// The limits of what a receiver writes. A value outside them, or not finite,
// comes only from a corrupted record: it is left out, an empty field being
// NMEA's "no value", rather than written as a number no receiver would send.
// A DOP above kMaxDop is written as kMaxDop, as receivers cap a poor geometry.
// So every sentence, even one of a corrupted record, stays within the 129
// characters that NMEA readers, this program's own among them, accept.
constexpr double kMaxMetres = 1e8;     // heights and errors: far beyond the satellites' orbits
constexpr double kMaxKnots = 99999.9;  // far beyond any orbital speed
constexpr double kMaxDop = 99.9;
constexpr int kGsaEntries = 24;  // satellites one GSA sentence lists

// False for NaN.
bool within(double value, double low, double high) { return value >= low && value <= high; }

bool isTimeOfDay(const SplitTime& t) { return within(t.hh, 0, 23) && within(t.mm, 0, 59) && within(t.ss, 0, 60); }

// Degrees as NMEA writes them: degrees x 100 plus minutes, without sign.
double nmeaAngle(double degrees) {
  const double whole = std::trunc(degrees);
  return std::fabs(whole + (degrees - whole) * 0.6) * 100;
}

double degrees(double radians) { return radians * 180 / kPi; }

char ggaQuality(const Fix& f) { return f.valid ? (f.differential ? '2' : '1') : '0'; }
char rmcMode(const Fix& f) { return f.valid ? (f.differential ? 'D' : 'A') : 'N'; }
int gsaMode(const Fix& f) { return f.twoDimensional ? 2 : (f.valid ? 3 : 1); }

// The used satellites in the GSA's numbering: GPS i + 1, then GLONASS j + 65.
struct UsedNumbers {
  int number[32 + 24] = {};
  int count = 0;
};

UsedNumbers usedNumbers(uint32_t gpsMask, uint32_t glonassMask) {
  UsedNumbers used;
  for (int i = 0; i < 32; ++i)
    if (gpsMask & (uint32_t(1) << i)) used.number[used.count++] = i + 1;
  for (int j = 0; j < 24; ++j)
    if (glonassMask & (uint32_t(1) << j)) used.number[used.count++] = j + 65;
  return used;
}

// A character that NMEA reserves or that is not printable would break the
// sentence; a text field leaves it out.
bool fitsTextField(char c) {
  return c >= 0x20 && c <= 0x7E && std::string_view("$*,!\\^~").find(c) == std::string_view::npos;
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

void NmeaConversionWriter::writeSolution(const Fix& fix) {
  writeGga(fix);
  writeRmc(fix);
  writeGsa(fix);
  writePorzd(fix);
}

void NmeaConversionWriter::appendNumber(double value, double limit, int width) {
  if (within(value, -limit, limit)) append("%0*.1f", width, value);
}

void NmeaConversionWriter::appendDop(double dop) {
  if (dop >= 0) append("%.1f", std::min(dop, kMaxDop));  // false for NaN
}

void NmeaConversionWriter::appendTime(const SplitTime& t) {
  if (isTimeOfDay(t)) append("%02d%02d%06.3lf", t.hh, t.mm, t.ss);
}

// Latitude and longitude with their hemisphere letters, both left empty when
// the angles are no position on earth.
void NmeaConversionWriter::appendPosition(const Fix& f) {
  const double lat = degrees(f.latitude), lon = degrees(f.longitude);
  if (within(lat, -90, 90) && within(lon, -180, 180))
    append("%010.5lf,%c,%011.5lf,%c", nmeaAngle(lat), lat >= 0 ? 'N' : 'S', nmeaAngle(lon), lon >= 0 ? 'E' : 'W');
  else
    append(",,,");
}

void NmeaConversionWriter::appendText(const char* text, size_t maxLength) {
  for (size_t i = 0; i < maxLength && text[i] != '\0'; ++i)
    if (fitsTextField(text[i])) append("%c", text[i]);
}

void NmeaConversionWriter::writeGga(const Fix& f) {
  begin();
  append("$GPGGA,");
  appendTime(f.sentenceTime);
  append(",");
  appendPosition(f);
  append(",%c,%d,", ggaQuality(f), f.satsUsed);
  appendDop(f.hdop.dop());
  append(",");
  appendNumber(f.height, kMaxMetres);
  append(",M,");
  if (f.hasGeoidSeparation) appendNumber(f.geoidSeparation, kMaxMetres);
  append(",M,,*");
  finishLine();
}

void NmeaConversionWriter::writeRmc(const Fix& f) {
  begin();
  append("$GPRMC,");
  appendTime(f.sentenceTime);
  append(",%c,", f.valid ? 'A' : 'V');
  appendPosition(f);
  append(",");
  appendNumber(f.speed * kKnotsPerMetrePerSecond, kMaxKnots, 5);
  append(",");
  if (within(f.course, 0, 360)) append("%05.1f", f.course);
  append(",%s,,,%c*", f.sentenceDate, rmcMode(f));
  finishLine();
}

// kGsaEntries satellites a sentence, padded with empty fields; more used
// satellites go on in further GSA sentences of the same fix, which readers
// (this program's Satellites window too) take as one group.
void NmeaConversionWriter::writeGsa(const Fix& f) {
  const UsedNumbers used = usedNumbers(f.gpsUsedMask, f.glonassUsedMask);
  int next = 0;
  do {
    begin();
    append("$GPGSA,A,%d,", gsaMode(f));
    for (const int end = next + kGsaEntries; next < end; ++next) {
      if (next < used.count) append("%d", used.number[next]);
      append(",");
    }
    append(",");
    appendDop(f.hdop.dop());
    append(",");
    appendDop(f.vdop.dop());
    append("*");
    finishLine();
  } while (next < used.count);
}

void NmeaConversionWriter::writePorzd(const Fix& f) {
  begin();
  append("$PORZD,%c,", f.valid ? 'A' : 'V');
  appendNumber(f.rms.value, kMaxMetres);
  append("*");
  finishLine();
}

void NmeaConversionWriter::writeSatellitesInView(const BinrSatsInView& view) {
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

void NmeaConversionWriter::writeSatellitesInView(const Binr2SatsInView& view) {
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
void NmeaConversionWriter::writeVersion(const BinrVersion& version) {
  const char* text = version.versionText;
  begin();
  append("$ALVER,XRV,");
  appendText(text, 5);
  append(",");
  for (int at : {6, 7, 9, 10}) appendText(text + at, 1);
  append("*");
  finishLine();
}

// Each text as long as its place in the message: the name at offsets 1 to 6,
// the version's major and minor numbers at 7 to 9 and 10 to 12.
void NmeaConversionWriter::writeVersion(const Binr2DeviceId& id) {
  begin();
  append("$ALVER,XRV,");
  appendText(id.deviceName, 6);
  append(",");
  appendText(id.versionMajor, 3);
  appendText(id.versionMinor, 3);
  append("*");
  finishLine();
}

}  // namespace veltrano
