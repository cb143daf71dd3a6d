#pragma once
// Command-line options of veltrano-sim.
#include <cstdint>
#include <string>

#include "sim/sim_protocol.h"
#include "util/host_port.h"

namespace veltrano::sim {

// NMEA sentences of one epoch.
enum NmeaSentence : uint16_t {
  kSentenceGga = 1,
  kSentenceRmc = 2,
  kSentenceGsa = 4,
  kSentenceGsv = 8,
  kSentenceGns = 16,
  kSentenceGbs = 32,
  kSentenceBss = 64,
  kSentenceRzd = 128,
};

struct SimOptions {
  SimProtocol protocol = SimProtocol::Nmea;
  int32_t baud = 115200;
  int rate = 1;  // solutions per second, 1 to 20
  uint64_t seed = 1;

  double latitude = 55.7522;   // degrees
  double longitude = 37.6156;  // degrees
  double height = 150.0;       // metres above sea level
  double speed = 0.0;          // m/s along the track
  double course = 0.0;         // degrees, initial heading
  double turnRate = 0.0;       // degrees per second
  // White noise of these standard deviations (metres, each horizontal axis and
  // up) instead of the receiver's error model; negative: the model.
  double noiseHorizontal = -1, noiseVertical = -1;
  int64_t startGpsMillis = 0;  // set from --start (default 2024-05-01T10:00:00 UTC)

  std::string talker = "GP";
  uint16_t sentences = kSentenceGga | kSentenceRmc | kSentenceGsa | kSentenceGsv | kSentenceRzd;
  uint8_t binrNavId = 0x88;
  uint8_t systems = 0x1F;  // bits of GnssSystem
  bool differential = false;
  std::string device = "VSIM1";
  std::string firmware = "02.05";

  std::string link;
  bool tcp = false;  // served on a TCP port instead of a pseudo-terminal
  HostPort tcpAddress{"127.0.0.1", 0};
  std::string logPath;
  std::string copyPrefix;
  std::string writePath;
  double duration = -1;     // seconds of output; negative: unlimited
  double silentAfter = -1;  // negative: never silent
  double silentFor = -1;    // negative: silent to the end
  double vanishAfter = -1;  // negative: never vanishes
  double unplugAfter = -1;  // negative: never unplugged
  double unplugFor = -1;
  double dropAfter = -1;    // negative: the connection is never dropped
  double corrupt = 0;       // fraction of frames with a bad checksum
  bool flood = false;
  bool reopen = false;
  bool help = false;
};

// Fills `options` from the arguments; false with a message in `error` on bad input.
bool parseSimOptions(int argc, char** argv, SimOptions& options, std::string& error);

const char* simUsage();

}  // namespace veltrano::sim
