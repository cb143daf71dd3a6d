#pragma once
// BINR frames of the simulated receiver (DLE id stuffed-payload DLE FF crc DLE ETX):
// per epoch the navigation solution (0x88 or 0x90), 0x60, 0x93 and, once a
// second, 0x52; and the answers 0x70 (version) and 0x50 (port settings).
#include <cstdint>

#include "sim/epoch.h"
#include "sim/frame_corrupter.h"
#include "sim/output_buffer.h"
#include "sim/sim_options.h"

namespace veltrano::sim {

// The 80-bit x87 extended-precision encoding of a value, little-endian.
void encodeExtended(double value, uint8_t out[10]);

class BinrWriter {
 public:
  BinrWriter(const SimOptions& options, FrameCorrupter& corrupter);

  void writeEpoch(const Epoch& epoch, OutputBuffer& out);
  void writeVersion(OutputBuffer& out);
  void writePortSettings(uint32_t baud, uint8_t protocolCode, OutputBuffer& out);

 private:
  void writeNavSolution(const Epoch& epoch, OutputBuffer& out);
  void writeDop(const Epoch& epoch, OutputBuffer& out);
  void writeStatus(const Epoch& epoch, OutputBuffer& out);
  void writeSatellites(const Epoch& epoch, OutputBuffer& out);
  // Frames the payload collected so far.
  void frame(uint8_t id, bool periodic, OutputBuffer& out);

  const SimOptions& options;
  FrameCorrupter& corrupter;
  OutputBuffer payload;
};

}  // namespace veltrano::sim
