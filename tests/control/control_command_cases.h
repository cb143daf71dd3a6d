#pragma once
// The Control window's commands in every protocol, one table for the window's
// test and for veltrano-cli send's: how the window's controls are set, the
// same command as the command-line tool names it, and what goes on the line.
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "../decoding/test_frames.h"
#include "../tools/test_protocols.h"
#include "control/control_form_controls.h"
#include "decoding/transport_fields.h"

namespace veltrano::control_cases {

using P = ReceiverProtocol;
using test::Bytes;
using test::protocolOption;
using test::protocolTestName;
using Button = QToolButton* ControlFormControls::*;

inline std::string wire(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }
inline std::string nmea(const std::string& body) { return test::nmeaSentence(body); }
inline std::string binr(uint8_t id, const Bytes& data) { return wire(test::binrFrame(id, data)); }
inline std::string binr2(const Bytes& body) {
  return wire(test::binr2Frame(body[0], Bytes(body.begin() + 1, body.end())));
}
// `body` followed by zero bytes up to `length`.
inline Bytes padded(Bytes body, size_t length) {
  body.resize(length, 0x00);
  return body;
}

// ---- Configuration commands ---------------------------------------------------

struct CommandCase {
  const char* name;
  P protocol;
  Button button;
  std::function<void(const ControlFormControls&)> set;
  const char* cli;   // the same command as veltrano-cli send names it
  std::string line;  // what goes on the line
};

inline void PrintTo(const CommandCase& c, std::ostream* out) { *out << c.name; }

inline const auto kDefaults = [](const ControlFormControls&) {};

inline std::vector<CommandCase> commandCases() {
  using C = ControlFormControls;
  const auto warm = [](const C& c) { c.warmRadioButton->setChecked(true); };
  const auto gpsOnly = [](const C& c) {
    c.glnCheckBox->setChecked(false);
    c.sbasCheckBox->setChecked(false);
  };
  const auto glnSbas = [](const C& c) { c.gpsCheckBox->setChecked(false); };
  const auto gpsGll = [](const C& c) {
    c.glnCheckBox->setChecked(false);
    c.sbasCheckBox->setChecked(false);
    c.gllCheckBox->setChecked(true);
  };
  const auto allFour = [](const C& c) { c.gllCheckBox->setChecked(true); };
  const auto elevation16 = [](const C& c) { c.elevationUpDown->setPosition(16); };
  const auto rms1000 = [](const C& c) { c.maxRmsUpDown->setPosition(1000); };
  const auto filter25 = [](const C& c) { c.filterMaskEdit->setText(QStringLiteral("2.5")); };
  const auto filterDigitOnly = [](const C& c) { c.filterMaskEdit->setText(QStringLiteral("7")); };
  const auto filterEmpty = [](const C& c) { c.filterMaskEdit->clear(); };
  const auto rate = [](int index) { return [index](const C& c) { c.pvtRateComboBox->setCurrentIndex(index); }; };
  const auto noOptions = [](const C& c) {
    c.twoDCheckBox->setChecked(false);
    c.raimCheckBox->setChecked(false);
  };
  const auto raimOnly = [](const C& c) { c.twoDCheckBox->setChecked(false); };
  const auto twoDOnly = [](const C& c) { c.raimCheckBox->setChecked(false); };

  return {
      {"NmeaCold", P::NMEA, &C::restartSpeedButton, kDefaults, "restart", nmea("PORST,F")},
      {"NmeaWarm", P::NMEA, &C::restartSpeedButton, warm, "restart warm", nmea("PORST,W")},
      {"NmeaGpsGlnSbas", P::NMEA, &C::satSystemSpeedButton, kDefaults, "sat-system", nmea("PKON1,0,10,,,0000,A")},
      {"NmeaGpsOnly", P::NMEA, &C::satSystemSpeedButton, gpsOnly, "sat-system gps", nmea("PKON1,0,1,,,0000,A")},
      {"NmeaGlnSbas", P::NMEA, &C::satSystemSpeedButton, glnSbas, "sat-system gln sbas", nmea("PKON1,0,12,,,0000,A")},
      {"NmeaGllLeftOut", P::NMEA, &C::satSystemSpeedButton, gpsGll, "sat-system gps gll", nmea("PKON1,0,1,,,0000,A")},
      {"NmeaElevation", P::NMEA, &C::elevationSpeedButton, elevation16, "elevation 16", nmea("PONAV,,16,,,")},
      {"NmeaMaxRmsSendsNothing", P::NMEA, &C::maxRmsSpeedButton, kDefaults, "max-rms", ""},
      {"NmeaFilter", P::NMEA, &C::filterSpeedButton, filter25, "filter 2.5", nmea("PONAV,,,,,25")},
      {"NmeaFilterDefault", P::NMEA, &C::filterSpeedButton, kDefaults, "filter", nmea("PONAV,,,,,10")},
      {"NmeaFilterEmptyTenths", P::NMEA, &C::filterSpeedButton, filterDigitOnly, "filter 7", nmea("PONAV,,,,,70")},
      {"NmeaFilterEmpty", P::NMEA, &C::filterSpeedButton, filterEmpty, "filter 0", nmea("PONAV,,,,,0")},
      {"NmeaRate", P::NMEA, &C::pvtRateSpeedButton, rate(5), "pvt-rate 25", nmea("PONAV,,,25,,")},
      {"NmeaPvtSetSendsNothing", P::NMEA, &C::pvtSetSpeedButton, kDefaults, "pvt-set", ""},

      {"BinrCold", P::BINR, &C::restartSpeedButton, kDefaults, "restart cold",
       binr(0x01, {0x00, 0x01, 0x21, 0x01, 0x00, 0x00})},
      {"BinrWarm", P::BINR, &C::restartSpeedButton, warm, "restart warm",
       binr(0x01, {0x00, 0x01, 0x21, 0x01, 0x00, 0x01})},
      {"BinrGpsGll", P::BINR, &C::satSystemSpeedButton, gpsGll, "sat-system gps gll", binr(0x0D, {0x02, 0x05})},
      {"BinrGpsGlnSbas", P::BINR, &C::satSystemSpeedButton, kDefaults, "sat-system gps gln sbas",
       binr(0x0D, {0x02, 10})},
      {"BinrElevation", P::BINR, &C::elevationSpeedButton, kDefaults, "elevation",
       binr(0x0D, {0x03, 0x05, 0x64, 0x00, 0x00})},
      // 16 is DLE: doubled on the line and counted twice in the CRC.
      {"BinrElevationStuffed", P::BINR, &C::elevationSpeedButton, elevation16, "elevation 16",
       binr(0x0D, {0x03, 0x10, 0x64, 0x00, 0x00})},
      {"BinrMaxRms", P::BINR, &C::maxRmsSpeedButton, kDefaults, "max-rms", binr(0x0D, {0x03, 0x7F, 0x64, 0xC8, 0x00})},
      {"BinrMaxRms1000", P::BINR, &C::maxRmsSpeedButton, rms1000, "max-rms 1000",
       binr(0x0D, {0x03, 0x7F, 0x64, 0xE8, 0x03})},
      {"BinrFilter", P::BINR, &C::filterSpeedButton, filter25, "filter 2.5",
       binr(0x0D, {0x04, 0x00, 0x00, 0x20, 0x40})},
      {"BinrFilterDefault", P::BINR, &C::filterSpeedButton, kDefaults, "filter 1.0",
       binr(0x0D, {0x04, 0x00, 0x00, 0x80, 0x3F})},
      {"BinrRate", P::BINR, &C::pvtRateSpeedButton, rate(7), "pvt-rate 100", binr(0xD7, {0x02, 100})},
      {"BinrPvtSet", P::BINR, &C::pvtSetSpeedButton, kDefaults, "pvt-set 2d raim", binr(0xD7, {0x07, 0x03, 0x00})},
      {"BinrPvtSetNoOptions", P::BINR, &C::pvtSetSpeedButton, noOptions, "pvt-set none",
       binr(0xD7, {0x07, 0x04, 0x00})},

      {"Binr2Cold", P::BINR2, &C::restartSpeedButton, kDefaults, "restart", binr2({0x06, 0x00})},
      {"Binr2Warm", P::BINR2, &C::restartSpeedButton, warm, "restart warm", binr2({0x06, 0x01})},
      {"Binr2AllFour", P::BINR2, &C::satSystemSpeedButton, allFour, "sat-system gll gps sbas gln",
       binr2(padded({0x03, 0x01, 0x00, 0x00, 0x00, 0x0F}, 10))},
      {"Binr2GpsOnly", P::BINR2, &C::satSystemSpeedButton, gpsOnly, "sat-system gps",
       binr2(padded({0x03, 0x01, 0x00, 0x00, 0x00, 0x02}, 10))},
      {"Binr2GlnSbas", P::BINR2, &C::satSystemSpeedButton, glnSbas, "sat-system gln sbas",
       binr2(padded({0x03, 0x01, 0x00, 0x00, 0x00, 0x05}, 10))},
      {"Binr2Elevation", P::BINR2, &C::elevationSpeedButton, kDefaults, "elevation 5",
       binr2(padded({0x03, 0x02, 0x00, 0x00, 0x00, 0x00, 0x05}, 10))},
      {"Binr2MaxRms", P::BINR2, &C::maxRmsSpeedButton, rms1000, "max-rms 1000",
       binr2(padded({0x03, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE8, 0x03}, 10))},
      {"Binr2Filter", P::BINR2, &C::filterSpeedButton, filter25, "filter 2.5",
       binr2(padded({0x04, 0x01, 0x00, 0x00, 0x00, 25}, 18))},
      {"Binr2Rate25", P::BINR2, &C::pvtRateSpeedButton, rate(5), "pvt-rate 25",
       binr2(padded({0x04, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00}, 18))},
      {"Binr2Rate1", P::BINR2, &C::pvtRateSpeedButton, kDefaults, "pvt-rate",
       binr2(padded({0x04, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 100, 0x00}, 18))},
      {"Binr2PvtSet", P::BINR2, &C::pvtSetSpeedButton, kDefaults, "pvt-set", binr2(padded({0x04, 0x10}, 18))},
      {"Binr2PvtSetRaimOnly", P::BINR2, &C::pvtSetSpeedButton, raimOnly, "pvt-set raim",
       binr2(padded({0x04, 0x10, 0x00, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x00}, 18))},
      {"Binr2PvtSet2DOnly", P::BINR2, &C::pvtSetSpeedButton, twoDOnly, "pvt-set 2d",
       binr2(padded({0x04, 0x10, 0x00, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0x02, 0x00}, 18))},
  };
}

// ---- The free-text line -------------------------------------------------------

struct FreeTextCase {
  const char* name;
  P protocol;
  std::string text;  // in SendEdit, and veltrano-cli send's TEXT
  std::string line;  // empty: refused
};

inline void PrintTo(const FreeTextCase& c, std::ostream* out) { *out << c.name; }

inline std::string hexText(const Bytes& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (uint8_t b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 0x0F];
  }
  return text;
}

inline std::vector<FreeTextCase> freeTextCases() {
  const Bytes room(120, 0x55);
  const Bytes overRoom(121, 0x55);
  const Bytes dles(60, 0x10);
  const Bytes overDles(61, 0x10);
  return {
      {"NmeaUnchanged", P::NMEA, "$PORST,F", nmea("PORST,F")},
      {"NmeaDollarAdded", P::NMEA, "PORST,F", nmea("PORST,F")},
      {"NmeaLongest", P::NMEA, std::string(78, 'A'), nmea(std::string(78, 'A'))},
      {"NmeaLongestWithDollar", P::NMEA, "$" + std::string(78, 'A'), nmea(std::string(78, 'A'))},
      {"NmeaTooLong", P::NMEA, std::string(79, 'A'), ""},
      {"NmeaTooLongWithDollar", P::NMEA, "$" + std::string(79, 'A'), ""},
      // The frame the command writer's reference example gives.
      {"BinrCommandWithData", P::BINR, "0C01", std::string("\x10\x0C\x01\x10\xFF\x4C\x55\x10\x03", 9)},
      {"BinrCommandWithoutData", P::BINR, "1B", std::string("\x10\x1B\x10\xFF\x5A\xA3\x10\x03", 8)},
      {"BinrOddLastDigit", P::BINR, "0C0", binr(0x0C, {0x00})},
      {"BinrWholeRoom", P::BINR, "0E" + hexText(room), binr(0x0E, room)},
      {"BinrWholeRoomStuffed", P::BINR, "0E" + hexText(dles), binr(0x0E, dles)},
      {"BinrOverRoom", P::BINR, "0E" + hexText(overRoom), ""},
      {"BinrOverRoomStuffed", P::BINR, "0E" + hexText(overDles), ""},
      {"BinrLongestText", P::BINR, std::string(255, '0'), ""},
      {"BinrEmpty", P::BINR, "", ""},
  };
}

}  // namespace veltrano::control_cases
