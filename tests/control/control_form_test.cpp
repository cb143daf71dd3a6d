// The Control window: its rows as laid out, the commands its send buttons put
// on the line in each protocol (read back from the far end of a pseudo-terminal
// and, end to end, from the receiver simulator's command log), and the free-text
// line with what it refuses.
#include "control/control_form.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "../decoding/test_frames.h"
#include "../link/pty_fixture.h"
#include "link/command_writer.h"
#include "link/serial_link.h"
#include "sim_process.h"

namespace veltrano {
namespace {

using P = ReceiverProtocol;
using S = TransportState;
using test::Bytes;
using Button = QToolButton* ControlFormControls::*;

constexpr int kGuardMs = 10000;  // only a failing test waits this long
const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);

std::string wire(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }
std::string nmea(const std::string& body) { return test::nmeaSentence(body); }
std::string binr(uint8_t id, const Bytes& data) { return wire(test::binrFrame(id, data)); }
std::string binr2(const Bytes& body) { return wire(test::binr2Frame(body[0], Bytes(body.begin() + 1, body.end()))); }
// `body` followed by zero bytes up to `length`.
Bytes padded(Bytes body, size_t length) {
  body.resize(length, 0x00);
  return body;
}

// The text a control shows, whatever kind it is.
QString textOf(const QWidget* widget) {
  if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
  if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
  if (auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text();
  if (auto* list = qobject_cast<const QComboBox*>(widget)) return list->currentText();
  return QString();
}

QColor textColour(const QLineEdit* edit) { return edit->palette().color(QPalette::Text); }

QToolButton* arrow(UpDown* upDown, Qt::ArrowType type) {
  for (QToolButton* button : upDown->findChildren<QToolButton*>())
    if (button->arrowType() == type) return button;
  return nullptr;
}

class ControlFormTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(pty.isOpen()); }

  // The protocol and the transport state selected, the window set for the protocol.
  void select(P protocol, S state = S::REC) {
    if (!link.isOpen()) {
      ASSERT_TRUE(link.openPort(QString::fromStdString(pty.path()), 115200, protocol == P::BINR, false));
    }
    transport.receiverProtocol = protocol;
    transport.transportState = state;
    form.applyProtocol(protocol);
  }

  // Everything put on the line since the last call. A marker frame follows the
  // test's commands, so the read ends when it arrives and no wait is timed.
  std::string sent() {
    const uint8_t marker[] = {0xEE, 0x5A};
    writer.writeBinr2Command(marker, 2);
    const std::string end = binr2({0xEE, 0x5A});
    std::string line;
    while (!line.ends_with(end)) {
      const std::string more = pty.readMaster(kGuardMs);
      if (more.empty()) {
        ADD_FAILURE() << "the marker never arrived";
        return line;
      }
      line += more;
    }
    return line.substr(0, line.size() - end.size());
  }

  void press(Qt::Key key, const QString& text = QString()) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(c.sendEdit, &event);
  }
  void type(const char* keys) {
    for (const char* k = keys; *k; ++k) {
      const QChar ch = QChar::fromLatin1(*k);
      press(Qt::Key(ch.toUpper().unicode()), QString(ch));
    }
  }

  test::PseudoTerminal pty;
  test::PatternReceiver receiver;
  SerialLink link{receiver};
  bool binrCommandCrc = true;
  CommandWriter writer{link, binrCommandCrc};
  TransportFields transport;
  TControlForm form{writer, transport};
  const ControlFormControls& c = form.controls();
};

// ---- Layout -----------------------------------------------------------------

TEST_F(ControlFormTest, RowsHoldTheirControlsWithDesignTextsAndPlaces) {
  EXPECT_EQ(form.objectName(), QStringLiteral("TControlForm"));
  EXPECT_EQ(form.size(), QSize(427, 335));
  EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
  auto* title = form.findChild<QLabel*>(QStringLiteral("StaticText1"));
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->text(), QStringLiteral("CONTROL"));
  EXPECT_EQ(title->geometry(), QRect(4, 2, 419, 17));

  for (const auto& [panel, top] :
       {std::pair{"RestartPanel", 20}, {"Panel1", 41}, {"Panel2", 62}, {"Panel3", 83}, {"Panel4", 311}}) {
    auto* frame = form.findChild<QFrame*>(QString::fromLatin1(panel));
    ASSERT_NE(frame, nullptr) << panel;
    EXPECT_EQ(frame->geometry(), QRect(4, top, 419, 21)) << panel;
    EXPECT_EQ(frame->frameShadow(), QFrame::Raised) << panel;
  }

  struct Control {
    const char* name;
    const char* panel;
    int left;
    const char* text;
    bool bold;
  };
  const Control controls[] = {
      {"Label1", "RestartPanel", 4, "Device Restart:", false},
      {"ColdRadioButton", "RestartPanel", 80, "Cold", true},
      {"WarmRadioButton", "RestartPanel", 128, "Warm", true},
      {"Label2", "Panel1", 4, "Sat System:", false},
      {"GPSCheckBox", "Panel1", 64, "GPS", true},
      {"GLNCheckBox", "Panel1", 112, "GLN", true},
      {"SBASCheckBox", "Panel1", 160, "SBAS", true},
      {"GLLCheckBox", "Panel1", 216, "GLL", true},
      {"Label3", "Panel2", 4, "Elevation Mask:", false},
      {"ElevationEdit", "Panel2", 84, "5", true},
      {"ElevationUpDown", "Panel2", 105, "", false},
      {"Label4", "Panel2", 146, "Max RMS:", false},
      {"MaxRMSEdit", "Panel2", 202, "200", true},
      {"MaxRMSUpDown", "Panel2", 233, "", false},
      {"Label5", "Panel2", 286, "Dynamic Filter:", false},
      {"FilterMaskEdit", "Panel2", 356, "1.0", true},
      {"Label6", "Panel3", 4, "PVT Rate:", false},
      {"PVTRateComboBox", "Panel3", 60, "1", false},
      {"Label7", "Panel3", 112, "Hz", false},
      {"Label8", "Panel3", 164, "PVT Set:", false},
      {"_2DCheckBox", "Panel3", 212, "2D", true},
      {"RAIMCheckBox", "Panel3", 252, "RAIM", true},
      {"BeginSendLabel", "Panel4", 4, "NMEA Send    $", false},
      {"SendEdit", "Panel4", 87, "", true},
      {"EndSendLabel", "Panel4", 362, "*XX", false},
      {"RestartSpeedButton", "RestartPanel", 390, "", false},
      {"SatSystemSpeedButton", "Panel1", 390, "", false},
      {"ElevationSpeedButton", "Panel2", 122, "", false},
      {"MaxRMSSpeedButton", "Panel2", 248, "", false},
      {"FilterSpeedButton", "Panel2", 390, "", false},
      {"PVTRateSpeedButton", "Panel3", 130, "", false},
      {"PVTSetSpeedButton", "Panel3", 390, "", false},
      {"SendButton", "Panel4", 390, "", false},
  };
  for (const Control& control : controls) {
    SCOPED_TRACE(control.name);
    auto* widget = form.findChild<QWidget*>(QString::fromLatin1(control.name));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->parentWidget()->objectName(), QString::fromLatin1(control.panel));
    EXPECT_EQ(widget->x(), control.left);
    EXPECT_EQ(textOf(widget), QString::fromLatin1(control.text));
    EXPECT_EQ(widget->font().bold(), control.bold);
    EXPECT_EQ(widget->font().pixelSize(), 11);
    if (auto* label = qobject_cast<AutoLabel*>(widget)) {
      EXPECT_EQ(label->textColor(), kBlack);
    }
    if (auto* button = qobject_cast<QToolButton*>(widget)) {
      EXPECT_EQ(button->size(), QSize(23, 20));
      EXPECT_EQ(button->toolTip(), QStringLiteral("Send"));
      EXPECT_TRUE(button->autoRaise());
      EXPECT_FALSE(button->icon().isNull());
    }
  }
  EXPECT_EQ(c.sendEdit->width(), 271);
}

TEST_F(ControlFormTest, SettingsStartAtTheirDefaultsAndKeepTheirRanges) {
  EXPECT_TRUE(c.coldRadioButton->isChecked());
  EXPECT_FALSE(c.warmRadioButton->isChecked());
  EXPECT_TRUE(c.gpsCheckBox->isChecked());
  EXPECT_TRUE(c.glnCheckBox->isChecked());
  EXPECT_TRUE(c.sbasCheckBox->isChecked());
  EXPECT_FALSE(c.gllCheckBox->isChecked());
  EXPECT_TRUE(c.twoDCheckBox->isChecked());
  EXPECT_TRUE(c.raimCheckBox->isChecked());
  c.warmRadioButton->click();
  EXPECT_FALSE(c.coldRadioButton->isChecked());

  QStringList items;
  for (int i = 0; i < c.pvtRateComboBox->count(); ++i) items << c.pvtRateComboBox->itemText(i);
  EXPECT_EQ(items, QStringList({"1", "2", "5", "10", "20", "25", "50", "100"}));
  EXPECT_EQ(c.pvtRateComboBox->currentIndex(), 0);
  EXPECT_FALSE(c.pvtRateComboBox->isEditable());

  // The edits beside the up-downs only show the position the arrows step.
  struct Stepper {
    const char* name;
    QLineEdit* edit;
    UpDown* upDown;
    int position, maximum, step;
  } steppers[] = {{"elevation", c.elevationEdit, c.elevationUpDown, 5, 90, 1},
                  {"max rms", c.maxRmsEdit, c.maxRmsUpDown, 200, 1000, 10}};
  for (const Stepper& s : steppers) {
    SCOPED_TRACE(s.name);
    EXPECT_TRUE(s.edit->isReadOnly());
    EXPECT_EQ(s.upDown->position(), s.position);
    EXPECT_EQ(s.upDown->maximum(), s.maximum);
    QToolButton* up = arrow(s.upDown, Qt::UpArrow);
    QToolButton* down = arrow(s.upDown, Qt::DownArrow);
    ASSERT_NE(up, nullptr);
    ASSERT_NE(down, nullptr);
    EXPECT_LT(up->y(), down->y());
    up->click();
    EXPECT_EQ(s.upDown->position(), s.position + s.step);
    EXPECT_EQ(s.edit->text(), QString::number(s.position + s.step));
    s.upDown->setPosition(s.maximum);
    up->click();
    EXPECT_EQ(s.edit->text(), QString::number(s.maximum));
    s.upDown->setPosition(0);
    down->click();
    EXPECT_EQ(s.edit->text(), QStringLiteral("0"));
  }

  // One digit, a point and one digit.
  EXPECT_EQ(c.filterMaskEdit->maxLength(), 3);
  c.filterMaskEdit->selectAll();
  c.filterMaskEdit->insert(QStringLiteral("47"));
  EXPECT_EQ(c.filterMaskEdit->text(), QStringLiteral("4.7"));
}

// ---- Configuration commands ---------------------------------------------------

struct CommandCase {
  const char* name;
  P protocol;
  Button button;
  std::function<void(const ControlFormControls&)> set;
  std::string line;  // what goes on the line
};

void PrintTo(const CommandCase& c, std::ostream* out) { *out << c.name; }

const auto kDefaults = [](const ControlFormControls&) {};

std::vector<CommandCase> commandCases() {
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
      {"NmeaCold", P::NMEA, &C::restartSpeedButton, kDefaults, nmea("PORST,F")},
      {"NmeaWarm", P::NMEA, &C::restartSpeedButton, warm, nmea("PORST,W")},
      {"NmeaGpsGlnSbas", P::NMEA, &C::satSystemSpeedButton, kDefaults, nmea("PKON1,0,10,,,0000,A")},
      {"NmeaGpsOnly", P::NMEA, &C::satSystemSpeedButton, gpsOnly, nmea("PKON1,0,1,,,0000,A")},
      {"NmeaGlnSbas", P::NMEA, &C::satSystemSpeedButton, glnSbas, nmea("PKON1,0,12,,,0000,A")},
      {"NmeaGllLeftOut", P::NMEA, &C::satSystemSpeedButton, gpsGll, nmea("PKON1,0,1,,,0000,A")},
      {"NmeaElevation", P::NMEA, &C::elevationSpeedButton, elevation16, nmea("PONAV,,16,,,")},
      {"NmeaMaxRmsSendsNothing", P::NMEA, &C::maxRmsSpeedButton, kDefaults, ""},
      {"NmeaFilter", P::NMEA, &C::filterSpeedButton, filter25, nmea("PONAV,,,,,25")},
      {"NmeaFilterDefault", P::NMEA, &C::filterSpeedButton, kDefaults, nmea("PONAV,,,,,10")},
      {"NmeaFilterEmptyTenths", P::NMEA, &C::filterSpeedButton, filterDigitOnly, nmea("PONAV,,,,,70")},
      {"NmeaFilterEmpty", P::NMEA, &C::filterSpeedButton, filterEmpty, nmea("PONAV,,,,,0")},
      {"NmeaRate", P::NMEA, &C::pvtRateSpeedButton, rate(5), nmea("PONAV,,,25,,")},
      {"NmeaPvtSetSendsNothing", P::NMEA, &C::pvtSetSpeedButton, kDefaults, ""},

      {"BinrCold", P::BINR, &C::restartSpeedButton, kDefaults, binr(0x01, {0x00, 0x01, 0x21, 0x01, 0x00, 0x00})},
      {"BinrWarm", P::BINR, &C::restartSpeedButton, warm, binr(0x01, {0x00, 0x01, 0x21, 0x01, 0x00, 0x01})},
      {"BinrGpsGll", P::BINR, &C::satSystemSpeedButton, gpsGll, binr(0x0D, {0x02, 0x05})},
      {"BinrGpsGlnSbas", P::BINR, &C::satSystemSpeedButton, kDefaults, binr(0x0D, {0x02, 10})},
      {"BinrElevation", P::BINR, &C::elevationSpeedButton, kDefaults, binr(0x0D, {0x03, 0x05, 0x64, 0x00, 0x00})},
      // 16 is DLE: doubled on the line and counted twice in the CRC.
      {"BinrElevationStuffed", P::BINR, &C::elevationSpeedButton, elevation16,
       binr(0x0D, {0x03, 0x10, 0x64, 0x00, 0x00})},
      {"BinrMaxRms", P::BINR, &C::maxRmsSpeedButton, kDefaults, binr(0x0D, {0x03, 0x7F, 0x64, 0xC8, 0x00})},
      {"BinrMaxRms1000", P::BINR, &C::maxRmsSpeedButton, rms1000, binr(0x0D, {0x03, 0x7F, 0x64, 0xE8, 0x03})},
      {"BinrFilter", P::BINR, &C::filterSpeedButton, filter25, binr(0x0D, {0x04, 0x00, 0x00, 0x20, 0x40})},
      {"BinrFilterDefault", P::BINR, &C::filterSpeedButton, kDefaults, binr(0x0D, {0x04, 0x00, 0x00, 0x80, 0x3F})},
      {"BinrRate", P::BINR, &C::pvtRateSpeedButton, rate(7), binr(0xD7, {0x02, 100})},
      {"BinrPvtSet", P::BINR, &C::pvtSetSpeedButton, kDefaults, binr(0xD7, {0x07, 0x03, 0x00})},
      {"BinrPvtSetNoOptions", P::BINR, &C::pvtSetSpeedButton, noOptions, binr(0xD7, {0x07, 0x04, 0x00})},

      {"Binr2Cold", P::BINR2, &C::restartSpeedButton, kDefaults, binr2({0x06, 0x00})},
      {"Binr2Warm", P::BINR2, &C::restartSpeedButton, warm, binr2({0x06, 0x01})},
      {"Binr2AllFour", P::BINR2, &C::satSystemSpeedButton, allFour,
       binr2(padded({0x03, 0x01, 0x00, 0x00, 0x00, 0x0F}, 10))},
      {"Binr2GpsOnly", P::BINR2, &C::satSystemSpeedButton, gpsOnly,
       binr2(padded({0x03, 0x01, 0x00, 0x00, 0x00, 0x02}, 10))},
      {"Binr2GlnSbas", P::BINR2, &C::satSystemSpeedButton, glnSbas,
       binr2(padded({0x03, 0x01, 0x00, 0x00, 0x00, 0x05}, 10))},
      {"Binr2Elevation", P::BINR2, &C::elevationSpeedButton, kDefaults,
       binr2(padded({0x03, 0x02, 0x00, 0x00, 0x00, 0x00, 0x05}, 10))},
      {"Binr2MaxRms", P::BINR2, &C::maxRmsSpeedButton, rms1000,
       binr2(padded({0x03, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE8, 0x03}, 10))},
      {"Binr2Filter", P::BINR2, &C::filterSpeedButton, filter25, binr2(padded({0x04, 0x01, 0x00, 0x00, 0x00, 25}, 18))},
      {"Binr2Rate25", P::BINR2, &C::pvtRateSpeedButton, rate(5),
       binr2(padded({0x04, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x04, 0x00}, 18))},
      {"Binr2Rate1", P::BINR2, &C::pvtRateSpeedButton, kDefaults,
       binr2(padded({0x04, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 100, 0x00}, 18))},
      {"Binr2PvtSet", P::BINR2, &C::pvtSetSpeedButton, kDefaults, binr2(padded({0x04, 0x10}, 18))},
      {"Binr2PvtSetRaimOnly", P::BINR2, &C::pvtSetSpeedButton, raimOnly,
       binr2(padded({0x04, 0x10, 0x00, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0x01, 0x00}, 18))},
      {"Binr2PvtSet2DOnly", P::BINR2, &C::pvtSetSpeedButton, twoDOnly,
       binr2(padded({0x04, 0x10, 0x00, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0x02, 0x00}, 18))},
  };
}

class CommandTest : public ControlFormTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(CommandTest, SendsTheCommandInTheSelectedProtocol) {
  const CommandCase& k = GetParam();
  select(k.protocol);
  k.set(c);
  (c.*k.button)->click();
  EXPECT_EQ(sent(), k.line);
}

INSTANTIATE_TEST_SUITE_P(Buttons, CommandTest, ::testing::ValuesIn(commandCases()),
                         [](const ::testing::TestParamInfo<CommandCase>& info) {
                           return std::string(info.param.name);
                         });

const Button kConfigurationButtons[] = {&ControlFormControls::restartSpeedButton,
                                        &ControlFormControls::satSystemSpeedButton,
                                        &ControlFormControls::elevationSpeedButton,
                                        &ControlFormControls::maxRmsSpeedButton,
                                        &ControlFormControls::filterSpeedButton,
                                        &ControlFormControls::pvtRateSpeedButton,
                                        &ControlFormControls::pvtSetSpeedButton};

// The BINR code of every mix of GPS (1), GLN (2) and GLL (4), with and without SBAS.
TEST_F(ControlFormTest, BinrSatSystemCodeCoversEveryMix) {
  const uint8_t codes[8] = {0, 1, 2, 0, 3, 5, 6, 4};
  select(P::BINR);
  for (int mix = 0; mix < 16; ++mix) {
    SCOPED_TRACE(mix);
    c.gpsCheckBox->setChecked(mix & 1);
    c.glnCheckBox->setChecked(mix & 2);
    c.gllCheckBox->setChecked(mix & 4);
    c.sbasCheckBox->setChecked(mix & 8);
    c.satSystemSpeedButton->click();
    EXPECT_EQ(sent(), binr(0x0D, {0x02, uint8_t(codes[mix & 7] + (mix & 8 ? 10 : 0))}));
  }
}

TEST_F(ControlFormTest, OutsideRecordingTheButtonsSendNothing) {
  for (P protocol : {P::NMEA, P::BINR, P::BINR2}) {
    for (S state : {S::SYNC, S::OPEN, S::PLAY, S::FF, S::PAUSE, S::STOP}) {
      SCOPED_TRACE(::testing::Message() << "protocol " << int(protocol) << " state " << int(state));
      select(protocol, state);
      for (Button button : kConfigurationButtons) (c.*button)->click();
      EXPECT_EQ(sent(), "");
    }
  }
}

// Each NMEA command the writer sends shows in SendEdit without its "$".
TEST_F(ControlFormTest, SentNmeaCommandsShowInTheSendLine) {
  select(P::NMEA);
  c.sendEdit->setText(QStringLiteral("old"));
  c.restartSpeedButton->click();
  EXPECT_EQ(c.sendEdit->text(), QStringLiteral("PORST,F"));
  writer.writeNmeaCommand("$POVER");
  EXPECT_EQ(c.sendEdit->text(), QStringLiteral("POVER"));
  EXPECT_EQ(sent(), nmea("PORST,F") + nmea("POVER"));
}

// ---- The free-text line -------------------------------------------------------

struct FreeTextCase {
  const char* name;
  P protocol;
  std::string text;
  std::string line;  // empty: refused
};

void PrintTo(const FreeTextCase& c, std::ostream* out) { *out << c.name; }

std::string hexText(const Bytes& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text;
  for (uint8_t b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 0x0F];
  }
  return text;
}

std::vector<FreeTextCase> freeTextCases() {
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

class FreeTextTest : public ControlFormTest, public ::testing::WithParamInterface<FreeTextCase> {};

// In any transport state; a text that does not fit is refused in red, and the
// red goes when the text is edited.
TEST_P(FreeTextTest, SendsWhatFitsAndRefusesTheRest) {
  const FreeTextCase& k = GetParam();
  for (const char* how : {"button", "enter"}) {
    SCOPED_TRACE(how);
    select(k.protocol, S::STOP);
    c.sendEdit->setText(QString::fromStdString(k.text));
    if (how == std::string("button"))
      c.sendButton->click();
    else
      press(Qt::Key_Return);
    EXPECT_EQ(sent(), k.line);
    const bool refused = k.line.empty();
    EXPECT_EQ(textColour(c.sendEdit), refused ? kRed : kBlack);
    if (!refused) continue;
    EXPECT_EQ(c.sendEdit->text().toStdString(), k.text);
    type(k.text.size() % 2 ? "0" : "00");
    EXPECT_EQ(textColour(c.sendEdit), kBlack);
  }
}

INSTANTIATE_TEST_SUITE_P(Texts, FreeTextTest, ::testing::ValuesIn(freeTextCases()),
                         [](const ::testing::TestParamInfo<FreeTextCase>& info) {
                           return std::string(info.param.name);
                         });

TEST_F(ControlFormTest, NmeaTextBeyondEightBitsIsRefused) {
  select(P::NMEA);
  c.sendEdit->setText(QStringLiteral("PORST,\u0416"));
  c.sendButton->click();
  EXPECT_EQ(sent(), "");
  EXPECT_EQ(textColour(c.sendEdit), kRed);
}

// BINR and BINR2 take hexadecimal digits only, in upper case; a whole number of
// bytes enables SendButton in black, half a byte disables it in red.
TEST_F(ControlFormTest, BinaryLinesTakeHexDigitsByWholeBytes) {
  for (P protocol : {P::BINR, P::BINR2}) {
    SCOPED_TRACE(int(protocol));
    select(protocol);
    type("0");
    EXPECT_EQ(c.sendEdit->text(), QStringLiteral("0"));
    EXPECT_FALSE(c.sendButton->isEnabled());
    EXPECT_EQ(textColour(c.sendEdit), kRed);
    type("cxg-");
    EXPECT_EQ(c.sendEdit->text(), QStringLiteral("0C"));
    EXPECT_TRUE(c.sendButton->isEnabled());
    EXPECT_EQ(textColour(c.sendEdit), kBlack);
    press(Qt::Key_Backspace);
    EXPECT_EQ(c.sendEdit->text(), QStringLiteral("0"));
    EXPECT_FALSE(c.sendButton->isEnabled());
    // Enter does nothing while half a byte is typed.
    press(Qt::Key_Return);
    EXPECT_EQ(sent(), "");
    c.sendEdit->insert(QStringLiteral("a1b"));
    EXPECT_EQ(c.sendEdit->text(), QStringLiteral("0A1B"));
    c.sendEdit->insert(QStringLiteral("zz"));
    EXPECT_EQ(c.sendEdit->text(), QStringLiteral("0A1B"));
  }
  // The NMEA line takes every key as it comes.
  select(P::NMEA);
  type("$po,x");
  EXPECT_EQ(c.sendEdit->text(), QStringLiteral("$po,x"));
  EXPECT_TRUE(c.sendButton->isEnabled());
}

TEST_F(ControlFormTest, Binr2SendsNoFreeText) {
  select(P::BINR2);
  type("0C00");
  EXPECT_TRUE(c.sendButton->isEnabled());
  c.sendButton->click();
  press(Qt::Key_Return);
  form.SendButtonClick();
  EXPECT_EQ(sent(), "");
}

// ---- Protocol switch ---------------------------------------------------------

TEST_F(ControlFormTest, ApplyProtocolSetsTheSendLine) {
  struct Look {
    P protocol;
    const char* begin;
    const char* end;
    bool enabled;
  } looks[] = {{P::BINR2, "BINR2 Send  ", "", false},
               {P::BINR, "BINR Send    10", "1003", true},
               {P::NMEA, "NMEA Send    $", "*XX", true}};
  for (const Look& look : looks) {
    SCOPED_TRACE(look.begin);
    transport.receiverProtocol = P::NMEA;
    c.sendEdit->setText(QString(79, u'A'));
    form.SendButtonClick();  // too long: red
    ASSERT_EQ(textColour(c.sendEdit), kRed);
    c.sendButton->setEnabled(!look.enabled);
    transport.receiverProtocol = look.protocol;
    form.applyProtocol(look.protocol);
    EXPECT_EQ(c.beginSendLabel->text(), QString::fromLatin1(look.begin));
    EXPECT_EQ(c.endSendLabel->text(), QString::fromLatin1(look.end));
    EXPECT_EQ(c.beginSendLabel->x(), 4);
    EXPECT_EQ(c.endSendLabel->x(), 362);
    EXPECT_EQ(c.sendEdit->text(), QString());
    EXPECT_EQ(textColour(c.sendEdit), kBlack);
    EXPECT_EQ(c.sendButton->isEnabled(), look.enabled);
  }
}

// ---- End to end ----------------------------------------------------------------

// The receiver simulator takes every command the window sends in its protocol.
class ReceiverTest : public ControlFormTest, public ::testing::WithParamInterface<P> {};

TEST_P(ReceiverTest, ReceiverAcceptsEveryConfigurationCommand) {
  static const char* const kNames[] = {"nmea", "binr", "binr2"};
  const P protocol = GetParam();
  sim::ScratchDir scratch;
  const std::string log = scratch.file("commands.log");
  sim::SimProcess receiver;
  ASSERT_TRUE(receiver.start({"--protocol", kNames[int(protocol)], "--baud", "115200", "--log", log}));
  ASSERT_TRUE(link.openPort(QString::fromStdString(receiver.terminalPath()), 115200, protocol == P::BINR, false));
  select(protocol);

  std::vector<std::string> expected;
  for (const CommandCase& k : commandCases()) {
    if (k.protocol != protocol || k.line.empty()) continue;
    // Each command from a window with its design-time settings.
    TControlForm window(writer, transport);
    window.applyProtocol(protocol);
    k.set(window.controls());
    (window.controls().*k.button)->click();
    expected.push_back(sim::hexOf(Bytes(k.line.begin(), k.line.end())) + " accepted");
  }
  std::vector<std::string> logged;
  EXPECT_TRUE(test::serveUntil(
      [&] {
        logged.clear();
        for (const std::vector<std::string>& fields : sim::readLogLines(log))
          if (fields.size() >= 4) logged.push_back(fields[3] + " " + fields[2]);
        return logged.size() >= expected.size();
      },
      kGuardMs));
  EXPECT_EQ(logged, expected);
}

std::string protocolName(const ::testing::TestParamInfo<P>& info) {
  static const char* const kNames[] = {"Nmea", "Binr", "Binr2"};
  return kNames[int(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Protocols, ReceiverTest, ::testing::Values(P::NMEA, P::BINR, P::BINR2), protocolName);

// Saves a picture of the window into VELTRANO_GRAB_DIR, when that is set, to look at.
TEST_F(ControlFormTest, GrabWhenAsked) {
  const char* directory = std::getenv("VELTRANO_GRAB_DIR");
  if (!directory) GTEST_SKIP() << "VELTRANO_GRAB_DIR not set";
  form.show();
  const QDir dir(QString::fromLocal8Bit(directory));
  EXPECT_TRUE(form.grab().save(dir.filePath(QStringLiteral("control.png"))));
  select(P::BINR);
  type("0C0");
  EXPECT_TRUE(form.grab().save(dir.filePath(QStringLiteral("control_binr.png"))));
  select(P::BINR2);
  EXPECT_TRUE(form.grab().save(dir.filePath(QStringLiteral("control_binr2.png"))));
}

}  // namespace
}  // namespace veltrano
