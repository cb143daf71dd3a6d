#pragma once
// The simulated receiver live on its port (a pseudo-terminal or a TCP port): it
// waits for the other side to open the port, sends its epochs at the line rate
// (garbled while the other side's rate differs from its own), answers commands,
// applies rate and protocol changes after the reply, and plays the faults of the
// options.
#include <signal.h>

#include <cstdint>
#include <optional>

#include "sim/binr2_command_parser.h"
#include "sim/binr_command_parser.h"
#include "sim/command_log.h"
#include "sim/fault_plan.h"
#include "sim/frame_queue.h"
#include "sim/line_pacer.h"
#include "sim/nmea_command_parser.h"
#include "sim/output_buffer.h"
#include "sim/sent_copy.h"
#include "sim/sim_options.h"
#include "sim/sim_port.h"
#include "sim/sim_receiver.h"

namespace veltrano::sim {

class TerminalSession {
 public:
  TerminalSession(const SimOptions& options, SimPort& port, CommandLog& log);

  // Runs until `stop` is set, the other side closes (unless --reopen) or the
  // receiver vanishes. Signals are taken only while waiting, with `waitMask`.
  // Returns the exit status.
  int run(volatile sig_atomic_t& stop, const sigset_t& waitMask);

  // Bytes written to the port.
  uint64_t bytesSent() const { return sentBytes; }
  const SimReceiver& simReceiver() const { return receiver; }
  // Flood mode: prints the bytes sent and their CRC-32 on standard output, once.
  void reportFlood();

 private:
  enum class Io { Ok, HungUp, Failed };

  CommandParser& parser();
  void restartPacer(double now);
  void produceEpochs(double elapsed);
  void produceFlood();
  Io readInput(double elapsed);
  Io writeOutput(double now);
  int waitMilliseconds(double elapsed) const;

  const SimOptions& options;
  SimPort& port;
  CommandLog& log;
  SentCopy copy;
  SimReceiver receiver;
  FaultPlan faults;
  FrameQueue queue;
  OutputBuffer scratch;
  OutputBuffer reply;
  LinePacer pacer;
  NmeaCommandParser nmeaParser;
  BinrCommandParser binrParser;
  Binr2CommandParser binr2Parser;
  std::optional<CommandOutcome> pending;
  uint8_t ioBuffer[4096] = {};
  long long nextEpoch = 0;
  uint64_t sentBytes = 0;
  uint32_t sentCrc = 0;
  bool floodReported = false;
  bool dropped = false;  // the connection was dropped (--drop-after)
};

}  // namespace veltrano::sim
