#pragma once
// The simulated receiver: its protocol and line rate, the periodic output of each
// epoch in the current protocol, and its answers to commands. Rate and protocol
// changes take effect when the caller applies them, after the reply went out.
#include <cstdint>

#include "sim/binr2_writer.h"
#include "sim/binr_writer.h"
#include "sim/command.h"
#include "sim/epoch.h"
#include "sim/frame_corrupter.h"
#include "sim/nmea_writer.h"
#include "sim/output_buffer.h"
#include "sim/scenario.h"
#include "sim/sim_options.h"

namespace veltrano::sim {

struct CommandOutcome {
  // "answered", "accepted" (known, nothing to answer), "rejected" (known, bad
  // arguments), "unknown" or "bad-checksum".
  const char* verdict = "unknown";
  bool changesSettings = false;
  int32_t baud = 0;
  SimProtocol protocol = SimProtocol::Nmea;
};

// Line rates the receiver accepts in a rate command.
bool isAcceptedRate(uint32_t baud);

class SimReceiver {
 public:
  explicit SimReceiver(const SimOptions& options);

  SimProtocol protocol() const { return currentProtocol; }
  int32_t baud() const { return currentBaud; }
  const FrameCorrupter& corruption() const { return corrupter; }

  // Computes the next epoch; when `emit`, appends its messages to `out`.
  void nextEpoch(bool emit, OutputBuffer& out);

  // Appends the answer, if any, to `reply`.
  CommandOutcome handleCommand(const Command& command, OutputBuffer& reply);
  void apply(const CommandOutcome& outcome);

 private:
  CommandOutcome handleNmea(const Command& command, OutputBuffer& reply);
  CommandOutcome handleBinr(const Command& command, OutputBuffer& reply);
  CommandOutcome handleBinr2(const Command& command, OutputBuffer& reply);
  CommandOutcome change(uint32_t baud, SimProtocol protocol) const;

  const SimOptions& options;
  FrameCorrupter corrupter;
  Scenario scenario;
  NmeaWriter nmeaWriter;
  BinrWriter binrWriter;
  Binr2Writer binr2Writer;
  Epoch epoch;
  SimProtocol currentProtocol;
  int32_t currentBaud;
};

}  // namespace veltrano::sim
