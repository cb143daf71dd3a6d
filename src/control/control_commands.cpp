#include "control/control_commands.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "link/command_framing.h"

namespace veltrano {

namespace {

constexpr int kSbasCode = 10;
constexpr int kBinr2ShortBody = 10;
constexpr int kBinr2LongBody = 18;

// GPS only 1, GLN only 2, both or neither 0; GLL does not enter.
int nmeaSatSystemCode(const ControlSettings& s) {
  const int code = s.gps == s.gln ? 0 : s.gps ? 1 : 2;
  return code + (s.sbas ? kSbasCode : 0);
}

// The BINR code of the systems GPS (1), GLN (2) and GLL (4) together.
int satSystemCode(const ControlSettings& s) {
  static constexpr int kCodes[8] = {0, 1, 2, 0, 3, 5, 6, 4};
  const int sum = (s.gps ? 1 : 0) + (s.gln ? 2 : 0) + (s.gll ? 4 : 0);
  return kCodes[sum] + (s.sbas ? kSbasCode : 0);
}

uint8_t binr2SystemMask(const ControlSettings& s) {
  return uint8_t((s.gln ? 0x01 : 0) | (s.gps ? 0x02 : 0) | (s.sbas ? 0x04 : 0) | (s.gll ? 0x08 : 0));
}

uint16_t binrOptionFlags(const ControlSettings& s) { return uint16_t((s.twoD ? 0 : 0x04) | (s.raim ? 0x03 : 0)); }

uint16_t binr2OptionFlags(const ControlSettings& s) { return uint16_t((s.twoD ? 0 : 0x01) | (s.raim ? 0 : 0x02)); }

// Tenths of the filter value, rounded, kept to 8 bits.
uint8_t filterTenths(double value) { return uint8_t(int64_t(std::trunc(10 * value + 0.5))); }

class Builder {
 public:
  explicit Builder(ControlCommand& command) : c_(command) {}

  void text(const char* format, int value) { std::snprintf(c_.text, sizeof c_.text, format, value); }
  void text(const char* literal) { std::snprintf(c_.text, sizeof c_.text, "%s", literal); }
  Builder& id(uint8_t id) {
    c_.id = id;
    return *this;
  }
  Builder& bytes(std::initializer_list<uint8_t> values) {
    for (uint8_t value : values) c_.bytes[c_.length++] = value;
    return *this;
  }
  Builder& le16(uint16_t value) { return bytes({uint8_t(value & 0xFF), uint8_t(value >> 8)}); }
  Builder& le32(uint32_t value) { return le16(uint16_t(value & 0xFFFF)).le16(uint16_t(value >> 16)); }
  // Zero bytes up to the length.
  Builder& padTo(int length) {
    c_.length = length;
    return *this;
  }

 private:
  ControlCommand& c_;
};

void buildNmea(ControlButton button, const ControlSettings& s, Builder& b) {
  switch (button) {
    case ControlButton::Restart:
      b.text(s.cold ? "$PORST,F" : "$PORST,W");
      break;
    case ControlButton::SatSystem:
      b.text("$PKON1,0,%d,,,0000,A", nmeaSatSystemCode(s));
      break;
    case ControlButton::Elevation:
      b.text("$PONAV,,%d,,,", s.elevationMask);
      break;
    case ControlButton::Filter:
      b.text("$PONAV,,,,,%d", filterTenths(s.filter));
      break;
    case ControlButton::PvtRate:
      b.text("$PONAV,,,%d,,", s.rate);
      break;
    case ControlButton::MaxRms:
    case ControlButton::PvtSet:
      break;
  }
}

void buildBinr(ControlButton button, const ControlSettings& s, Builder& b) {
  switch (button) {
    case ControlButton::Restart:
      b.id(0x01).bytes({0x00, 0x01, 0x21, 0x01, 0x00, uint8_t(s.cold ? 0x00 : 0x01)});
      break;
    case ControlButton::SatSystem:
      b.id(0x0D).bytes({0x02, uint8_t(satSystemCode(s))});
      break;
    case ControlButton::Elevation:
      b.id(0x0D).bytes({0x03, uint8_t(s.elevationMask), 0x64, 0x00, 0x00});
      break;
    case ControlButton::MaxRms:
      b.id(0x0D).bytes({0x03, 0x7F, 0x64}).le16(uint16_t(s.maxRms));
      break;
    case ControlButton::Filter: {
      const float value = float(s.filter);
      uint32_t bits = 0;
      std::memcpy(&bits, &value, sizeof bits);
      b.id(0x0D).bytes({0x04}).le32(bits);
      break;
    }
    case ControlButton::PvtRate:
      b.id(0xD7).bytes({0x02, uint8_t(s.rate)});
      break;
    case ControlButton::PvtSet:
      b.id(0xD7).bytes({0x07}).le16(binrOptionFlags(s));
      break;
  }
}

void buildBinr2(ControlButton button, const ControlSettings& s, Builder& b) {
  switch (button) {
    case ControlButton::Restart:
      b.bytes({0x06, uint8_t(s.cold ? 0x00 : 0x01)});
      break;
    case ControlButton::SatSystem:
      b.bytes({0x03}).le32(1).bytes({binr2SystemMask(s)}).padTo(kBinr2ShortBody);
      break;
    case ControlButton::Elevation:
      b.bytes({0x03}).le32(2).bytes({0x00, uint8_t(s.elevationMask)}).padTo(kBinr2ShortBody);
      break;
    case ControlButton::MaxRms:
      b.bytes({0x03}).le32(4).bytes({0x00, 0x00}).le16(uint16_t(s.maxRms)).padTo(kBinr2ShortBody);
      break;
    case ControlButton::Filter:
      b.bytes({0x04}).le32(1).bytes({filterTenths(s.filter)}).padTo(kBinr2LongBody);
      break;
    case ControlButton::PvtRate:
      b.bytes({0x04}).le32(4).bytes({0x00, 0x00, 0x00}).le16(uint16_t(100 / s.rate)).padTo(kBinr2LongBody);
      break;
    case ControlButton::PvtSet:
      b.bytes({0x04}).le32(0x10).padTo(12).le16(binr2OptionFlags(s)).padTo(kBinr2LongBody);
      break;
  }
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 0;
}

}  // namespace

bool buildControlCommand(ControlButton button, ReceiverProtocol protocol, const ControlSettings& settings,
                         ControlCommand& command) {
  command = ControlCommand{};
  Builder builder(command);
  switch (protocol) {
    case ReceiverProtocol::NMEA:
      buildNmea(button, settings, builder);
      return command.text[0] != '\0';
    case ReceiverProtocol::BINR:
      buildBinr(button, settings, builder);
      return true;
    case ReceiverProtocol::BINR2:
      buildBinr2(button, settings, builder);
      return true;
  }
  return false;
}

int nmeaFreeText(std::string_view text, char (&command)[kNmeaFreeTextSize]) {
  if (!text.empty() && text.front() == '$') text.remove_prefix(1);
  if (text.size() > size_t(kNmeaFreeTextSize - 2)) return 0;
  command[0] = '$';
  std::memcpy(command + 1, text.data(), text.size());
  command[text.size() + 1] = '\0';
  return int(text.size()) + 1;
}

int binrFreeText(std::string_view text, uint8_t (&bytes)[kBinrFreeTextBytes]) {
  if (text.empty() || text.size() >= size_t(kBinrFreeTextLimit)) return 0;
  const int count = int((text.size() + 1) / 2);
  int stuffed = 0;
  for (int i = 0; i < count; ++i) {
    const size_t at = size_t(2 * i);
    const int low = at + 1 < text.size() ? hexValue(text[at + 1]) : 0;
    bytes[i] = uint8_t(hexValue(text[at]) << 4 | low);
    if (i > 0) stuffed += bytes[i] == 0x10 ? 2 : 1;
  }
  return stuffed <= kMaxBinrStuffedData ? count : 0;
}

}  // namespace veltrano
