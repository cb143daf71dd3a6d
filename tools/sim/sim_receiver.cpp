#include "sim/sim_receiver.h"

#include <algorithm>
#include <string_view>

#include "util/nmea_numbers.h"

namespace veltrano::sim {

namespace {
uint32_t le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

// Protocol codes of the BINR port settings (0x0B, 0x50).
uint8_t binrProtocolCode(SimProtocol protocol) {
  switch (protocol) {
    case SimProtocol::Nmea: return 2;
    case SimProtocol::Binr: return 4;
    case SimProtocol::Binr2: return 5;
  }
  return 4;
}

// Field `index` (1-based after the address) of an NMEA command text.
std::string_view nmeaField(std::string_view text, int index) {
  for (int i = 0; i < index; ++i) {
    const size_t comma = text.find(',');
    if (comma == std::string_view::npos) return {};
    text.remove_prefix(comma + 1);
  }
  return text.substr(0, text.find(','));
}
}  // namespace

bool isAcceptedRate(uint32_t baud) {
  static constexpr uint32_t kRates[] = {1200,  2400,  4800,   9600,   14400,  19200, 38400,
                                        56000, 57600, 115200, 230400, 460800, 921600};
  return std::find(std::begin(kRates), std::end(kRates), baud) != std::end(kRates);
}

SimReceiver::SimReceiver(const SimOptions& opts)
    : options(opts),
      corrupter(opts.corrupt, opts.seed),
      scenario(opts),
      nmeaWriter(opts, corrupter),
      binrWriter(opts, corrupter),
      binr2Writer(opts, corrupter),
      currentProtocol(opts.protocol),
      currentBaud(opts.baud) {}

void SimReceiver::nextEpoch(bool emit, OutputBuffer& out) {
  scenario.computeEpoch(epoch);
  if (!emit) return;
  switch (currentProtocol) {
    case SimProtocol::Nmea: nmeaWriter.writeEpoch(epoch, out); break;
    case SimProtocol::Binr: binrWriter.writeEpoch(epoch, out); break;
    case SimProtocol::Binr2: binr2Writer.writeEpoch(epoch, out); break;
  }
}

CommandOutcome SimReceiver::change(uint32_t baud, SimProtocol protocol) const {
  CommandOutcome outcome;
  outcome.verdict = "answered";
  outcome.changesSettings = true;
  outcome.baud = baud == 0 ? currentBaud : int32_t(baud);
  outcome.protocol = protocol;
  return outcome;
}

void SimReceiver::apply(const CommandOutcome& outcome) {
  if (!outcome.changesSettings) return;
  currentBaud = outcome.baud;
  currentProtocol = outcome.protocol;
}

CommandOutcome SimReceiver::handleCommand(const Command& command, OutputBuffer& reply) {
  if (!command.checksumOk) {
    CommandOutcome outcome;
    outcome.verdict = "bad-checksum";
    return outcome;
  }
  switch (command.protocol) {
    case SimProtocol::Nmea: return handleNmea(command, reply);
    case SimProtocol::Binr: return handleBinr(command, reply);
    case SimProtocol::Binr2: return handleBinr2(command, reply);
  }
  return {};
}

CommandOutcome SimReceiver::handleNmea(const Command& command, OutputBuffer& reply) {
  CommandOutcome outcome;
  const std::string_view address = nmeaField(command.text.substr(1), 0);
  if (address == "POVER") {
    nmeaWriter.writeVersion(reply);
    outcome.verdict = "answered";
  } else if (address == "PORZA") {
    // $PORZA,port,baud,protocol: 3 BINR, 4 BINR2; a rate of 0 keeps the rate.
    const int32_t baud = leadingInt(nmeaField(command.text, 2));
    const int32_t code = leadingInt(nmeaField(command.text, 3));
    if (baud < 0 || (baud != 0 && !isAcceptedRate(uint32_t(baud)))) {
      outcome.verdict = "rejected";
    } else {
      const SimProtocol target = code == 3 ? SimProtocol::Binr : code == 4 ? SimProtocol::Binr2 : currentProtocol;
      outcome = change(uint32_t(baud), target);
      outcome.verdict = "accepted";
    }
  } else if (address == "PORST" || address == "PKON1" || address == "PONAV") {
    outcome.verdict = "accepted";
  }
  return outcome;
}

CommandOutcome SimReceiver::handleBinr(const Command& command, OutputBuffer& reply) {
  CommandOutcome outcome;
  switch (command.id) {
    case 0x1B:
      binrWriter.writeVersion(reply);
      outcome.verdict = "answered";
      break;
    case 0x0B: {
      if (command.dataLength <= 1) {  // a query of the port settings
        binrWriter.writePortSettings(uint32_t(currentBaud), binrProtocolCode(currentProtocol), reply);
        outcome.verdict = "answered";
        break;
      }
      const uint32_t baud = command.dataLength == 6 ? le32(command.data + 1) : 1;
      const uint8_t code = command.dataLength == 6 ? command.data[5] : 0;
      const bool protocolOk = code == 2 || code == 4 || code == 5;
      if (!protocolOk || (baud != 0 && !isAcceptedRate(baud))) {
        outcome.verdict = "rejected";
        break;
      }
      const SimProtocol target = code == 2 ? SimProtocol::Nmea : code == 5 ? SimProtocol::Binr2 : SimProtocol::Binr;
      outcome = change(baud, target);
      binrWriter.writePortSettings(uint32_t(outcome.baud), code, reply);
      break;
    }
    case 0x01: case 0x0C: case 0x0D: case 0x0E: case 0x21: case 0x24:
    case 0x26: case 0x27: case 0x35: case 0xA0: case 0xD7:
      outcome.verdict = "accepted";
      break;
    default:
      break;
  }
  return outcome;
}

CommandOutcome SimReceiver::handleBinr2(const Command& command, OutputBuffer& reply) {
  CommandOutcome outcome;
  switch (command.id) {
    case 0x01:
      if (command.dataLength >= 1 && command.data[0] == 0xC0) {
        binr2Writer.writeDeviceId(reply);
        outcome.verdict = "answered";
      } else {
        outcome.verdict = "accepted";
      }
      break;
    case 0x02: {
      // 02, port, protocol (0 keep, 2 BINR, 4 NMEA), baud.
      const uint8_t code = command.dataLength == 6 ? command.data[1] : 0xFF;
      const uint32_t baud = command.dataLength == 6 ? le32(command.data + 2) : 1;
      if ((code != 0 && code != 2 && code != 4) || (baud != 0 && !isAcceptedRate(baud))) {
        outcome.verdict = "rejected";
        break;
      }
      const SimProtocol target = code == 2 ? SimProtocol::Binr : code == 4 ? SimProtocol::Nmea : SimProtocol::Binr2;
      outcome = change(baud, target);
      binr2Writer.writeAck(0x02, reply);
      break;
    }
    case 0x03: case 0x04: case 0x06:
      outcome.verdict = "accepted";
      break;
    default:
      break;
  }
  return outcome;
}

}  // namespace veltrano::sim
