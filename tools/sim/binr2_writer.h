#pragma once
// BINR2 frames of the simulated receiver (A5 5A B5 5B, length, id and payload,
// CRC): per epoch 0x90, 0xA1, 0xB2 and, once a second, 0xA0; and the answers
// 0xC0 (device identification) and 0x80 (command acknowledgement).
#include <cstdint>

#include "sim/epoch.h"
#include "sim/frame_corrupter.h"
#include "sim/output_buffer.h"
#include "sim/sim_options.h"

namespace veltrano::sim {

class Binr2Writer {
 public:
  Binr2Writer(const SimOptions& options, FrameCorrupter& corrupter);

  void writeEpoch(const Epoch& epoch, OutputBuffer& out);
  void writeDeviceId(OutputBuffer& out);
  void writeAck(uint8_t command, OutputBuffer& out);

 private:
  void writeNavSolution(const Epoch& epoch, OutputBuffer& out);
  void writeSatellites(const Epoch& epoch, OutputBuffer& out);
  void writeMasks(const Epoch& epoch, OutputBuffer& out);
  void writeTimeInfo(OutputBuffer& out);
  // Frames the message id and the payload collected so far.
  void frame(uint8_t id, bool periodic, OutputBuffer& out);

  const SimOptions& options;
  FrameCorrupter& corrupter;
  OutputBuffer payload;
};

}  // namespace veltrano::sim
