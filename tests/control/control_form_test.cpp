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

#include "control_command_cases.h"
#include "control_form_fixture.h"
#include "sim_process.h"

namespace veltrano {
namespace {

using namespace control_cases;

const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);

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
  const P protocol = GetParam();
  sim::ScratchDir scratch;
  const std::string log = scratch.file("commands.log");
  sim::SimProcess receiver;
  ASSERT_TRUE(receiver.start({"--protocol", protocolOption(protocol), "--baud", "115200", "--log", log}));
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

INSTANTIATE_TEST_SUITE_P(Protocols, ReceiverTest, ::testing::Values(P::NMEA, P::BINR, P::BINR2), protocolTestName);

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
