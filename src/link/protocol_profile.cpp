#include "link/protocol_profile.h"

namespace veltrano {

namespace {

namespace b1 = binr_command;
namespace b2 = binr2_command;

constexpr CommandStep kNmeaStart[] = {{.text = nmea_command::kVersionRequest}};

constexpr CommandStep kBinrRequestRate[] = {
    {.id = b1::kRatePrelude},
    {.id = b1::kSetPort, .data = {0x00, 0, 0, 0, 0, b1::kPortKeepsBinr}, .size = 6, .rateAt = 1},
};
constexpr CommandStep kBinrIdentify[] = {{.id = b1::kIdentify}};
constexpr CommandStep kBinrStart[] = {
    {.id = b1::kStopOutput},
    {.id = b1::kIdentify, .waitAfterMs = 200},
    {.id = b1::kOutputSetting, .data = {0x03, 0x01}, .size = 2, .waitAfterMs = 200},
    {.id = b1::kOutputSetting, .data = {0x03, 0x04}, .size = 2, .waitAfterMs = 200},
    {.id = b1::kOutputSetting, .data = {0x03, 0x02}, .size = 2, .waitAfterMs = 200},
    {.id = b1::kOutputSetting, .data = {0x03, 0x05}, .size = 2, .waitAfterMs = 200},
    {.id = b1::kOutputSetting, .data = {0x03, 0x03}, .size = 2, .waitAfterMs = 200},
    {.id = b1::kOutputSetting, .data = {0x03, 0x06}, .size = 2, .waitAfterMs = 200},
    {.id = b1::kDebugData, .data = {0x01}, .size = 1, .onlyWithDebugData = true},
    {.id = b1::kRecordedOutputs[0], .data = {0x01}, .size = 1},
    {.id = b1::kRecordedOutputs[1], .data = {0x01}, .size = 1},
    {.id = b1::kRecordedOutputs[2], .data = {0x01}, .size = 1},
    {.id = b1::kRecordedOutputs[3], .data = {0x01}, .size = 1},
};
constexpr CommandStep kBinrStop[] = {
    {.id = b1::kStopOutput},
    {.id = b1::kDebugData, .data = {0x00}, .size = 1, .onlyWithDebugData = true},
};

constexpr CommandStep kBinr2RequestRate[] = {{.data = {b2::kSetPort, 0x00, 0x00}, .size = 7, .rateAt = 3}};
constexpr CommandStep kBinr2StopAll = {.data = {b2::kSetOutput, 0x00, b2::kAllMessages, 0x00, 0x00}, .size = 5};
constexpr CommandStep kBinr2Identify[] = {{.data = {b2::kSetOutput, b2::kIdentityMessage, 0x01, 0x00, 0x00}, .size = 5}};
// Each after 50 ms: all output off, the identity once, then the messages a
// recording wants with their periods; the raw data only with "DBG data".
constexpr CommandStep kBinr2Start[] = {
    {.data = {b2::kSetOutput, 0x00, b2::kAllMessages, 0x00, 0x00}, .size = 5, .waitBeforeMs = 50},
    {.data = {b2::kSetOutput, b2::kIdentityMessage, 0x01, 0x00, 0x00}, .size = 5, .waitBeforeMs = 50},
    {.data = {b2::kSetOutput, 0x90, 0x02, 0x01, 0x00}, .size = 5, .waitBeforeMs = 50},
    {.data = {b2::kSetOutput, 0xA1, 0x02, 0x01, 0x00}, .size = 5, .waitBeforeMs = 50},
    {.data = {b2::kSetOutput, 0xB2, 0x03, 0x58, 0x02}, .size = 5, .waitBeforeMs = 50},
    {.data = {b2::kSetOutput, 0xA0, 0x03, 0x0A, 0x00}, .size = 5, .waitBeforeMs = 50, .waitAfterMs = 50},
    {.data = {b2::kSetOutput, 0xF0, 0x03, 0x01, 0x00}, .size = 5, .onlyWithDebugData = true},
};
constexpr CommandStep kBinr2Stop[] = {kBinr2StopAll};

// The protocol switches. NMEA receivers take a sentence that carries its
// checksum already, followed by a zero byte (the one that ends the literal); the
// binary ones the port command
// with a rate of zero and the protocol to speak next.
constexpr CommandStep kNmeaToBinr[] = {{.text = "$PORZA,0,0,3*49\r\n", .rawSize = 18}};
constexpr CommandStep kNmeaToBinr2[] = {{.text = "$PORZA,0,0,4*4E\r\n", .rawSize = 18}};
constexpr CommandStep kBinrToNmea[] = {{.id = b1::kSetPort, .data = {0x00, 0, 0, 0, 0, 0x02}, .size = 6}};
constexpr CommandStep kBinrToBinr2[] = {{.id = b1::kSetPort, .data = {0x00, 0, 0, 0, 0, 0x05}, .size = 6}};
constexpr CommandStep kBinr2ToBinr[] = {{.data = {b2::kSetPort, 0x00, 0x02, 0, 0, 0, 0}, .size = 7}};
constexpr CommandStep kBinr2ToNmea[] = {{.data = {b2::kSetPort, 0x00, 0x04, 0, 0, 0, 0}, .size = 7}};

constexpr std::array<int32_t, 9> kNmeaSearchBauds = {19200, 9600, 4800, 38400, 57600, 115200, 230400, 460800, 921600};
constexpr std::array<int32_t, 9> kBinarySearchBauds = {19200, 115200, 38400, 57600, 230400,
                                                       9600,  4800,   460800, 921600};

// By ReceiverProtocol.
const ProtocolProfile kProfiles[] = {
    {ReceiverProtocol::NMEA, "NMEA", ".nme", "NMEA files (*.nme);;All files (*.*)", false, false, kNmeaSearchBauds,
     1000, {}, {}, kNmeaStart, {}, 0, {CommandSteps{}, kNmeaToBinr, kNmeaToBinr2}},
    {ReceiverProtocol::BINR, "BINR", ".dat", "BINR files (*.dat);;All files (*.*)", true, true, kBinarySearchBauds, 500,
     kBinrRequestRate, kBinrIdentify, kBinrStart, kBinrStop, 200, {kBinrToNmea, CommandSteps{}, kBinrToBinr2}},
    {ReceiverProtocol::BINR2, "BINR2", ".b2", "BINR2 files (*.b2);;All files (*.*)", false, true, kBinarySearchBauds,
     500, kBinr2RequestRate, kBinr2Identify, kBinr2Start, kBinr2Stop, 200, {kBinr2ToNmea, kBinr2ToBinr, CommandSteps{}}},
};

}  // namespace

const ProtocolProfile& protocolProfile(ReceiverProtocol protocol) {
  const auto index = size_t(protocol);
  return index < std::size(kProfiles) ? kProfiles[index] : kProfiles[0];
}

std::string defaultRecordName(ReceiverProtocol protocol) {
  return std::string("rgfile") + protocolProfile(protocol).recordExtension;
}

int32_t searchBaud(ReceiverProtocol protocol, int32_t k) {
  if (k < 1 || k > 9) return 0;
  return protocolProfile(protocol).searchBauds[size_t(k - 1)];
}

}  // namespace veltrano
