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

// Degrees as NMEA writes them: degrees x 100 plus minutes, without sign.
double nmeaAngle(double degrees) {
  const double whole = std::trunc(degrees);
  return std::fabs(whole + (degrees - whole) * 0.6) * 100;
}

double degrees(double radians) { return radians * 180 / kPi; }
char latitudeLetter(double latitude) { return latitude >= 0 ? 'N' : 'S'; }
char longitudeLetter(double longitude) { return longitude >= 0 ? 'E' : 'W'; }

char ggaQuality(const Fix& f) { return f.valid ? (f.differential ? '2' : '1') : '0'; }
char rmcMode(const Fix& f) { return f.valid ? (f.differential ? 'D' : 'A') : 'N'; }
int gsaMode(const Fix& f) { return f.twoDimensional ? 2 : (f.valid ? 3 : 1); }

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

void NmeaConversionWriter::writeSolution(const Fix& fix) {
  writeGga(fix);
  writeRmc(fix);
  writeGsa(fix);
  writePorzd(fix);
}

void NmeaConversionWriter::writeGga(const Fix& f) {
  const double lat = degrees(f.latitude), lon = degrees(f.longitude);
  begin();
  append("$GPGGA,%02d%02d%06.3lf,%010.5lf,%c,%011.5lf,%c,%c,%d,%0.1f,%.1lf,M,", f.sentenceTime.hh,
         f.sentenceTime.mm, f.sentenceTime.ss, nmeaAngle(lat), latitudeLetter(lat), nmeaAngle(lon),
         longitudeLetter(lon), ggaQuality(f), f.satsUsed, f.hdop.dop(), f.height);
  if (f.hasGeoidSeparation) append("%.1f", f.geoidSeparation);
  append(",M,,*");
  finishLine();
}

void NmeaConversionWriter::writeRmc(const Fix& f) {
  const double lat = degrees(f.latitude), lon = degrees(f.longitude);
  begin();
  append("$GPRMC,%02d%02d%06.3lf,%c,%010.5lf,%c,%011.5lf,%c,%05.1f,%05.1f,%s,,,%c*", f.sentenceTime.hh,
         f.sentenceTime.mm, f.sentenceTime.ss, f.valid ? 'A' : 'V', nmeaAngle(lat), latitudeLetter(lat),
         nmeaAngle(lon), longitudeLetter(lon), f.speed * kKnotsPerMetrePerSecond, f.course, f.sentenceDate,
         rmcMode(f));
  finishLine();
}

void NmeaConversionWriter::writeGsa(const Fix& f) {
  const GsaList list = gsaList(f.gpsUsedMask, f.glonassUsedMask);
  begin();
  append("$GPGSA,A,%d,%s,%0.1f,%0.1f*", gsaMode(f), list.text, f.hdop.dop(), f.vdop.dop());
  finishLine();
}

void NmeaConversionWriter::writePorzd(const Fix& f) {
  begin();
  append("$PORZD,%c,%.1f*", f.valid ? 'A' : 'V', f.rms.value);
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
  append("$ALVER,XRV,%.5s,", text);
  for (int at : {6, 7, 9, 10})
    if (text[at] != '\0') append("%c", text[at]);
  append("*");
  finishLine();
}

void NmeaConversionWriter::writeVersion(const Binr2DeviceId& id) {
  begin();
  append("$ALVER,XRV,%s,%s%s*", id.deviceName, id.versionMajor, id.versionMinor);
  finishLine();
}

}  // namespace veltrano
