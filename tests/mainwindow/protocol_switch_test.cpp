// The protocol list on a pseudo-terminal: the switch command of each pair, sent
// with the parity of the protocol the receiver speaks, and what the windows
// change with the protocol.
#include "mainwindow/protocol_switch.h"

#include <gtest/gtest.h>
#include <termios.h>

#include <QLabel>
#include <string>
#include <vector>

#include "../decoding/test_frames.h"
#include "../link/pty_fixture.h"
#include "control/control_form.h"
#include "displays/satellites_form.h"
#include "link/serial_link.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "main_form_probe.h"

namespace veltrano {
namespace {

using P = ReceiverProtocol;
using test::Bytes;

std::string asText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// Whether the port runs with odd parity, as the other side of the terminal sees
// it: a pseudo-terminal drops PARENB, so only PARODD can be read back.
bool oddParity(int fd) {
  termios t{};
  return ::tcgetattr(fd, &t) == 0 && (t.c_cflag & PARODD);
}

class ProtocolSwitchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.isOpen());
    setPort(pty.path());
    // The wait before the port closes again: the moment to see what was sent and how.
    app.sleepMs = [this](int ms) {
      waits.push_back(ms);
      sent += pty.readMaster(100);
      parityWhileSending = oddParity(pty.master());
      portOpenWhileSending = app.serialLink->isOpen();
    };
  }

  TMainForm& form() { return *app.mainForm; }
  MainFormControls c() { return test::probeControls(form()); }
  void setPort(const std::string& path) {
    c().portComboBox->clear();
    c().portComboBox->addItem(QString::fromStdString(path) + QStringLiteral("  - test"));
  }
  // The protocol as the program speaks it, set up without a switch.
  void start(P protocol) {
    app.protocolSwitch->selectForFile(protocol);
    sent.clear();
    waits.clear();
  }
  // The user chooses `protocol` in the list.
  void choose(P protocol) {
    c().protComboBox->setCurrentIndex(int(protocol));
    emit c().protComboBox->activated(int(protocol));
  }
  bool notAvailableShown() {
    return app.satellitesForm->findChild<QLabel*>(QStringLiteral("StatusInfoLabel"))->isVisibleTo(app.satellitesForm.get());
  }

  test::PseudoTerminal pty;
  AppContext app;
  std::string sent;
  std::vector<int> waits;
  bool parityWhileSending = false;
  bool portOpenWhileSending = false;
};

struct SwitchCase {
  P from, to;
  std::string bytes;
  bool oddParity;
};

TEST_F(ProtocolSwitchTest, EachPairSendsItsCommandInTheProtocolBeingLeft) {
  const SwitchCase cases[] = {
      {P::NMEA, P::BINR, std::string("$PORZA,0,0,3*49\r\n\0", 18), false},
      {P::NMEA, P::BINR2, std::string("$PORZA,0,0,4*4E\r\n\0", 18), false},
      {P::BINR, P::NMEA, asText(test::binrFrame(0x0B, {0x00, 0x00, 0x00, 0x00, 0x00, 0x02})), true},
      {P::BINR, P::BINR2, asText(test::binrFrame(0x0B, {0x00, 0x00, 0x00, 0x00, 0x00, 0x05})), true},
      {P::BINR2, P::BINR, asText(test::binr2Frame(0x02, {0x00, 0x02, 0x00, 0x00, 0x00, 0x00})), false},
      {P::BINR2, P::NMEA, asText(test::binr2Frame(0x02, {0x00, 0x04, 0x00, 0x00, 0x00, 0x00})), false},
  };
  for (const SwitchCase& s : cases) {
    SCOPED_TRACE(std::to_string(int(s.from)) + " to " + std::to_string(int(s.to)));
    start(s.from);
    c().fileLabel->setCaption(QStringLiteral("ABC12_c3.xyz"));
    app.transport.fileNameFixed = true;
    choose(s.to);
    EXPECT_EQ(sent, s.bytes);
    EXPECT_EQ(waits, std::vector<int>{200});
    EXPECT_TRUE(portOpenWhileSending);
    EXPECT_EQ(parityWhileSending, s.oddParity);
    EXPECT_FALSE(app.serialLink->isOpen());
    EXPECT_EQ(app.transport.receiverProtocol, s.to);
    EXPECT_FALSE(app.transport.fileNameFixed);
    EXPECT_EQ(app.transport.transportState, TransportState::STOP);
  }
}

struct SettingsCase {
  P protocol;
  const char* recordName;
  int tickMs;
  bool nmeaMenu, debugData, notAvailable;
  const char* sendLabel;
  bool sendButton;
};

TEST_F(ProtocolSwitchTest, TheWindowsFollowTheProtocol) {
  const SettingsCase cases[] = {
      {P::BINR, "rgfile.dat", 500, false, true, false, "BINR Send    10", true},
      {P::BINR2, "rgfile.b2", 500, false, true, false, "BINR2 Send  ", false},
      {P::NMEA, "rgfile.nme", 1000, true, false, true, "NMEA Send    $", true},
      {P::BINR2, "rgfile.b2", 500, false, true, false, "BINR2 Send  ", false},
  };
  for (const SettingsCase& s : cases) {
    SCOPED_TRACE(int(s.protocol));
    choose(s.protocol);
    EXPECT_EQ(c().fileLabel->text().toStdString(), s.recordName);
    EXPECT_EQ(c().synchroTimer->interval(), s.tickMs);
    EXPECT_EQ(c().protComboBox->contextMenuPolicy() == Qt::CustomContextMenu, s.nmeaMenu);
    EXPECT_EQ(c().rawDataCheckBox->isEnabled(), s.debugData);
    EXPECT_EQ(notAvailableShown(), s.notAvailable);
    EXPECT_EQ(app.controlForm->findChild<QLabel*>(QStringLiteral("BeginSendLabel"))->text().toStdString(),
              s.sendLabel);
    EXPECT_EQ(app.controlForm->findChild<QWidget*>(QStringLiteral("SendButton"))->isEnabled(), s.sendButton);
  }
}

TEST_F(ProtocolSwitchTest, TheSameProtocolChangesNothing) {
  start(P::BINR);
  c().fileLabel->setCaption(QStringLiteral("chosen.dat"));
  app.transport.fileNameFixed = true;
  choose(P::BINR);
  EXPECT_EQ(c().fileLabel->text(), QStringLiteral("chosen.dat"));
  EXPECT_TRUE(app.transport.fileNameFixed);
  EXPECT_TRUE(sent.empty());
  EXPECT_TRUE(waits.empty());
}

// No port (the list shows only "NONE" at start-up) or one that does not open:
// the receiver is not told, everything else of the switch happens.
TEST_F(ProtocolSwitchTest, WithoutAPortOnlyTheProgramSwitches) {
  for (const char* entry : {"NONE", "/nonexistent/tty0  - gone"}) {
    SCOPED_TRACE(entry);
    start(P::NMEA);
    c().portComboBox->clear();
    c().portComboBox->addItem(QString::fromLatin1(entry));
    choose(P::BINR);
    EXPECT_EQ(app.transport.receiverProtocol, P::BINR);
    EXPECT_EQ(c().fileLabel->text(), QStringLiteral("rgfile.dat"));
    EXPECT_EQ(c().synchroTimer->interval(), 500);
    EXPECT_TRUE(waits.empty());
    EXPECT_EQ(pty.readMaster(50), "");
  }
}

}  // namespace
}  // namespace veltrano
