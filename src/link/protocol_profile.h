#pragma once
// What the program knows of each receiver protocol, in one table per protocol:
// how its port is opened, how its record files are named, the rates the search
// tries and how fast, and the command steps that ask for the rate, identify the
// receiver, start the output a recording wants and stop it again.
#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "decoding/transport_fields.h"

namespace veltrano {

// BINR message ids of the commands the program sends.
namespace binr_command {
constexpr uint8_t kSetPort = 0x0B;        // data 00, rate (4 bytes LE), protocol; answered by 0x50
constexpr uint8_t kDebugData = 0x0C;      // one byte: 01 on, 00 off ("DBG data")
constexpr uint8_t kStopOutput = 0x0E;     // ends every periodic output
constexpr uint8_t kIdentify = 0x1B;       // answered by 0x70
constexpr uint8_t kRatePrelude = 0x26;    // sent ahead of every kSetPort of the search
constexpr uint8_t kOutputSetting = 0xA0;  // two bytes per setting
// Messages a recording asks for, each with the one byte 01.
constexpr uint8_t kRecordedOutputs[4] = {0x21, 0x27, 0x35, 0x24};
// The last byte of kSetPort's data: the protocol the port speaks afterwards.
constexpr uint8_t kPortKeepsBinr = 0x04;
}  // namespace binr_command

// BINR2 commands: the first data byte is the command, 01 sets a message's output.
namespace binr2_command {
constexpr uint8_t kSetOutput = 0x01;  // message id, mode, period (2 bytes LE)
constexpr uint8_t kSetPort = 0x02;    // 00, protocol, rate (4 bytes LE); answered by 0x80
constexpr uint8_t kAllMessages = 0xFF;
constexpr uint8_t kIdentityMessage = 0xC0;
}  // namespace binr2_command

namespace nmea_command {
// Answered by the receiver's version sentence (VER).
constexpr const char* kVersionRequest = "$POVER";
}  // namespace nmea_command

// One command of a step list: a BINR id with data, BINR2 data, or an NMEA text
// ("$" first, no checksum; with rawSize, that many bytes sent as they stand),
// with the waits around it.
struct CommandStep {
  uint8_t id = 0;
  std::array<uint8_t, 7> data{};
  uint8_t size = 0;
  const char* text = nullptr;
  uint8_t rawSize = 0;
  uint16_t waitBeforeMs = 0;
  uint16_t waitAfterMs = 0;
  // Sent only while "DBG data" is ticked.
  bool onlyWithDebugData = false;
  // Where the selected rate goes into the data (4 bytes, little-endian); -1 for none.
  int8_t rateAt = -1;
};

using CommandSteps = std::span<const CommandStep>;

struct ProtocolProfile {
  ReceiverProtocol protocol;
  const char* name;             // as the protocol list shows it
  const char* recordExtension;  // of the raw record file, ".nme"
  const char* fileFilter;       // of the open dialog
  bool oddParity;
  // A binary stream gets its NMEA conversion written beside the raw file.
  bool convertedToNmea;
  // The rates the search tries after the selected one, step 1 to 9, and its tick.
  std::array<int32_t, 9> searchBauds;
  int searchTickMs;
  // Asks the receiver to move to the selected rate; empty where the search only listens.
  CommandSteps requestRate;
  // Sent at each tick once the receiver took the rate; empty where it names itself unasked.
  CommandSteps identify;
  CommandSteps startRecording;
  CommandSteps stopRecording;
  // The wait after the stop steps before the port is closed.
  int stopWaitMs;
  // Tells a receiver speaking this protocol to speak another, by ReceiverProtocol.
  std::array<CommandSteps, 3> switchTo;
};

// "rgfile" with the protocol's record extension: the record name after a switch.
std::string defaultRecordName(ReceiverProtocol protocol);

const ProtocolProfile& protocolProfile(ReceiverProtocol protocol);

// The rate tried at search step k (1 to 9); 0 outside the table.
int32_t searchBaud(ReceiverProtocol protocol, int32_t k);

}  // namespace veltrano
