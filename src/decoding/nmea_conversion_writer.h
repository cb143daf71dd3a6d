#pragma once
// Writes a BINR or BINR2 stream as NMEA 0183 text beside its raw file: GGA, RMC,
// GSA and $PORZD for every navigation solution, a GPGSV group for every
// satellites-in-view message and $ALVER for every version reply. The sentences
// are built from the fix or the record of the message that has just arrived;
// they are written only while a conversion file is open.
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "decoding/fan_out_sinks.h"

namespace veltrano {

// The conversion file of a raw file: its name up to and including the first "."
// of the last path component, then "nme" (rgfile_20140301_101500.dat gives
// rgfile_20140301_101500.nme); a name without "." gets ".nme" appended.
std::string conversionFileName(std::string_view rawFileName);

class NmeaConversionWriter : public ConversionSink {
 public:
  NmeaConversionWriter() = default;
  ~NmeaConversionWriter() override { closeConversionFile(); }
  NmeaConversionWriter(const NmeaConversionWriter&) = delete;
  NmeaConversionWriter& operator=(const NmeaConversionWriter&) = delete;

  // Creates the conversion file of rawFileName empty, replacing a file of that
  // name. False when it cannot be created, or when it would be the raw file
  // itself (a BINR stream kept under an .nme name is never overwritten).
  bool openConversionFile(const std::string& rawFileName);
  // Creates exactly `path` empty as the conversion file. A file still open is
  // closed first: at most one is open.
  bool openOutput(const std::string& path);
  // Closes the conversion file, if one is open.
  void closeConversionFile();

  bool isOpen() const { return file_ != nullptr; }
  // A write or the closing flush failed since the last open. The file was closed
  // at the first failure and keeps what reached it; later sentences are dropped.
  bool writeFailed() const { return writeFailed_; }

  // GGA, RMC, GSA and $PORZD of a BINR or BINR2 solution.
  void writeSolution(const Fix& fix) override;
  void writeGga(const Fix& fix);
  void writeRmc(const Fix& fix);
  void writeGsa(const Fix& fix);
  void writePorzd(const Fix& fix);
  // A GPGSV group of BINR message 0x52 or BINR2 message 0xA0.
  void writeSatellitesInView(const BinrSatsInView& view) override;
  void writeSatellitesInView(const Binr2SatsInView& view) override;
  // $ALVER of BINR message 0x70 or BINR2 message 0xC0.
  void writeVersion(const BinrVersion& version) override;
  void writeVersion(const Binr2DeviceId& id) override;

 private:
  // Room for the longest sentence (at most 129 characters, as NMEA readers
  // take them) and more, so that a sentence over that limit shows in the
  // tests rather than being cut.
  static constexpr int kLineSize = 512;
  static constexpr int kTailSize = 5;  // two checksum digits, CR, LF, NUL

  void begin() { length_ = 0; }
  void append(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Adds the checksum and CR LF to the sentence text (which ends in "*") and
  // writes the line in one call.
  void finishLine();
  // Fields as receivers write them, empty for a value no receiver would send.
  // One decimal, zero-padded to `width` characters.
  void appendNumber(double value, double limit, int width = 0);
  void appendDop(double dop);
  void appendTime(const SplitTime& time);
  void appendPosition(const Fix& fix);
  // At most maxLength characters of a NUL-terminated text, without those that
  // would break the sentence.
  void appendText(const char* text, size_t maxLength);

  std::FILE* file_ = nullptr;
  bool writeFailed_ = false;
  char line_[kLineSize] = {};
  int length_ = 0;
};

}  // namespace veltrano
