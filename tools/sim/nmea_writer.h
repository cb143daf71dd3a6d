#pragma once
// NMEA 0183 sentences of the simulated receiver: the epoch's GGA, GNS, RMC, one
// GSA per system, the GPGSV, GLGSV, GAGSV and BDGSV groups, GBS, BSS and $PORZD,
// and the VER answer to "$POVER".
#include "sim/epoch.h"
#include "sim/frame_corrupter.h"
#include "sim/output_buffer.h"
#include "sim/sim_options.h"

namespace veltrano::sim {

class NmeaWriter {
 public:
  NmeaWriter(const SimOptions& options, FrameCorrupter& corrupter);

  void writeEpoch(const Epoch& epoch, OutputBuffer& out);
  void writeVersion(OutputBuffer& out);

 private:
  void begin();
  void append(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Text as it is, and ",%0*d" of a number, without printf: GSV sentences are many.
  void appendText(const char* piece);
  void appendNumber(int value, int width);
  void appendCoordinates(const Epoch& epoch);
  void finish(OutputBuffer& out, bool periodic);

  void writeGga(const Epoch& epoch, OutputBuffer& out);
  void writeGns(const Epoch& epoch, OutputBuffer& out);
  void writeRmc(const Epoch& epoch, OutputBuffer& out);
  void writeGsa(const Epoch& epoch, GnssSystem system, OutputBuffer& out);
  void writeGsvGroup(const Epoch& epoch, const char* address, GnssSystem first, GnssSystem second,
                     OutputBuffer& out);
  void writeGbs(const Epoch& epoch, OutputBuffer& out);
  void writeBss(const Epoch& epoch, OutputBuffer& out);
  void writeRzd(const Epoch& epoch, OutputBuffer& out);

  const SimOptions& options;
  FrameCorrupter& corrupter;
  char timeField[32] = {};
  char text[160] = {};
  int length = 0;
};

}  // namespace veltrano::sim
