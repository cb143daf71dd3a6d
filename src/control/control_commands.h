#pragma once
// The commands of the Control window: the seven configuration commands built
// from the window's settings in the form of each protocol, and the free-text
// line read as an NMEA or a BINR command. Nothing here touches a widget.
#include <cstdint>
#include <string_view>

#include "decoding/transport_fields.h"

namespace veltrano {

// The configuration send buttons, top row first.
enum class ControlButton { Restart, SatSystem, Elevation, MaxRms, Filter, PvtRate, PvtSet };

// What the window's controls say, as the commands use it; the defaults are the
// window's design-time settings.
struct ControlSettings {
  bool cold = true;
  bool gps = true, gln = true, sbas = true, gll = false;
  int elevationMask = 5;  // degrees
  int maxRms = 200;       // metres
  double filter = 1.0;    // the dynamic filter, 0.0 to 9.9
  int rate = 1;           // solutions per second
  bool twoD = true, raim = true;
};

constexpr int kControlTextSize = 32;
constexpr int kControlBodySize = 18;

// One configuration command: NMEA text from "$" without checksum, a BINR id and
// its data, or a BINR2 body (message id and payload). Bytes past the length are zero.
struct ControlCommand {
  char text[kControlTextSize] = {};
  uint8_t id = 0;
  uint8_t bytes[kControlBodySize] = {};
  int length = 0;
};

// False when the protocol has no such command (NMEA Max RMS and PVT Set).
bool buildControlCommand(ControlButton button, ReceiverProtocol protocol, const ControlSettings& settings,
                         ControlCommand& command);

// "$", the text without a leading "$" of its own, and the terminating zero.
constexpr int kNmeaFreeTextSize = 80;
// The free-text line as an NMEA command text. Returns its length, or 0 when the
// text after the "$" has more than kNmeaFreeTextSize - 2 characters.
int nmeaFreeText(std::string_view text, char (&command)[kNmeaFreeTextSize]);

// Texts of this many characters or more are never read.
constexpr int kBinrFreeTextLimit = 256;
constexpr int kBinrFreeTextBytes = kBinrFreeTextLimit / 2;
// The free-text line as a BINR command: hexadecimal pairs, high half first; a
// character other than 0-9 and A-F counts as 0 and an odd last character gets a
// low half of 0. The first byte is the id, the others its data. Returns the number
// of bytes, or 0 when the text is empty, has kBinrFreeTextLimit characters or
// more, or its data would not fit a command frame once every 0x10 is doubled.
int binrFreeText(std::string_view text, uint8_t (&bytes)[kBinrFreeTextBytes]);

}  // namespace veltrano
