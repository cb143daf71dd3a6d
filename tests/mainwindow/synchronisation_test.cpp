// The port list, the custom rate, and the search for a receiver on a
// pseudo-terminal that never answers: the rates tried tick by tick, the requests
// sent at each, and the ways a search ends without a receiver.
#include "link/synchronisation.h"

#include <gtest/gtest.h>
#include <termios.h>

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QRegularExpression>
#include <string>
#include <vector>

#include "../decoding/test_frames.h"
#include "link/serial_link.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "main_form_probe.h"
#include "../link/forbidden_port.h"
#include "../link/pty_fixture.h"

namespace veltrano {
namespace {

using P = ReceiverProtocol;
using S = TransportState;
using test::Bytes;

Bytes le32(int32_t value) {
  return {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
}

std::string asText(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// What the search sends at every rate: a request to move to the selected rate.
std::string searchRequest(P protocol, int32_t selected) {
  switch (protocol) {
    case P::NMEA:
      return {};
    case P::BINR: {
      Bytes rate{0x00};
      for (uint8_t b : le32(selected)) rate.push_back(b);
      rate.push_back(0x04);
      return asText(test::binrFrame(0x26, {})) + asText(test::binrFrame(0x0B, rate));
    }
    case P::BINR2: {
      Bytes rate{0x00, 0x00};
      for (uint8_t b : le32(selected)) rate.push_back(b);
      return asText(test::binr2Frame(0x02, rate));
    }
  }
  return {};
}

constexpr std::pair<speed_t, int32_t> kTermiosRates[] = {
    {B4800, 4800},     {B9600, 9600},     {B19200, 19200},   {B38400, 38400},  {B57600, 57600},
    {B115200, 115200}, {B230400, 230400}, {B460800, 460800}, {B921600, 921600}};

// The rate the port runs at, as the other side of the terminal sees it; 0 for a rate
// without a termios code.
int32_t lineRate(int fd) {
  termios t{};
  if (::tcgetattr(fd, &t) != 0) return -1;
  for (const auto& [code, rate] : kTermiosRates)
    if (cfgetospeed(&t) == code) return rate;
  return 0;
}

// What lineRate shows for a port set to `rate`.
int32_t seenRate(int32_t rate) {
  for (const auto& entry : kTermiosRates)
    if (entry.second == rate) return rate;
  return 0;
}

// ---- The port list ----

struct EntryCase {
  const char* port;
  const char* device;
  const char* entry;
};

void PrintTo(const EntryCase& c, std::ostream* out) { *out << c.entry; }

class PortListEntryTest : public ::testing::TestWithParam<EntryCase> {};

TEST_P(PortListEntryTest, PadsShortNames) {
  const EntryCase& e = GetParam();
  EXPECT_EQ(portListEntry(QString::fromLatin1(e.port), QString::fromLatin1(e.device)).toStdString(), e.entry);
}

INSTANTIATE_TEST_SUITE_P(Entries, PortListEntryTest,
                         ::testing::Values(EntryCase{"COM3", "Serial0", "COM3   - Serial0"},
                                           EntryCase{"COM10", "Serial0", "COM10 - Serial0"},
                                           EntryCase{"ttyS0", "serial8250", "ttyS0 - serial8250"},
                                           EntryCase{"ttyUSB0", "FT232R USB UART", "ttyUSB0 - FT232R USB UART"},
                                           EntryCase{"S1", "", "S1   - "}));

class SynchronisationTest : public ::testing::Test {
 public:
  void SetUp() override {
    ASSERT_TRUE(pty.isOpen());
    setPort(pty.path());
    app.sleepMs = [](int) {};
  }
  void TearDown() override { form().StopButtonClick(true); }

  TMainForm& form() { return *app.mainForm; }
  MainFormControls c() { return test::probeControls(form()); }
  void setPort(const std::string& path) {
    c().portComboBox->clear();
    c().portComboBox->addItem(QString::fromStdString(path) + QStringLiteral("  - test"));
  }
  void select(P protocol, const QString& baud) {
    app.transport.receiverProtocol = protocol;
    c().protComboBox->setCurrentIndex(int(protocol));
    const int item = c().baudComboBox->findText(baud);
    if (item >= 0) {
      c().baudComboBox->setCurrentIndex(item);
    } else {
      c().baudComboBox->setCurrentIndex(9);
      emit c().baudComboBox->activated(9);
      c().baudComboBox->setEditText(baud);
    }
  }

  test::PseudoTerminal pty;
  AppContext app;
};

TEST_F(SynchronisationTest, OpeningThePortListRebuildsItAndAllowsRecord) {
  ASSERT_FALSE(c().recordButton->isEnabled());
  c().portComboBox->showPopup();
  c().portComboBox->hidePopup();
  EXPECT_TRUE(c().recordButton->isEnabled());
  // Only ports of this machine that open are listed; the test's terminal is not one.
  // "Other…" closes the list.
  const QRegularExpression shape(QStringLiteral("^\\S+( {2})? - "));
  const int count = c().portComboBox->count();
  ASSERT_GE(count, 1);
  EXPECT_EQ(c().portComboBox->itemText(count - 1), QStringLiteral("Other…"));
  for (int i = 0; i < count - 1; ++i) {
    const QString entry = c().portComboBox->itemText(i);
    EXPECT_TRUE(shape.match(entry).hasMatch()) << entry.toStdString();
    EXPECT_NE(entry, QStringLiteral("NONE"));
    if (entry.indexOf(QLatin1Char(' ')) < 5) {
      EXPECT_EQ(entry.mid(entry.indexOf(QLatin1Char(' ')), 3), QStringLiteral("   "));
    }
  }
  EXPECT_EQ(c().portComboBox->currentIndex(), 0);
  EXPECT_FALSE(app.serialLink->isOpen());

  // Without a rate that reads as a number nothing can be probed.
  select(P::NMEA, QStringLiteral("custom"));
  app.synchronisation->refreshPortList();
  EXPECT_EQ(c().portComboBox->count(), 1);
  EXPECT_EQ(form().portName(), QString());
}

// "Other…" asks for a path; a typed path stays in the list, after the ports found,
// for the rest of the session; a cancelled question leaves the port chosen before.
TEST_F(SynchronisationTest, OtherAsksForAPathThatStaysInTheList) {
  PortComboBox* ports = c().portComboBox;
  const auto choose = [&](int index, const QString& typed) {
    QTimer::singleShot(0, [typed] {
      auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      if (typed.isNull()) {
        dialog->reject();
        return;
      }
      dialog->setTextValue(typed);
      dialog->accept();
    });
    ports->setCurrentIndex(index);
    emit ports->activated(index);
  };
  ports->setFoundEntries({QStringLiteral("ttyS0 - 16550A"), QStringLiteral("ttyS1 - 16550A")});
  ports->setCurrentIndex(1);
  emit ports->activated(1);
  choose(2, QStringLiteral(" /dev/serial/by-id/usb-FTDI_A1-if00-port0 "));
  EXPECT_EQ(form().portName(), QStringLiteral("/dev/serial/by-id/usb-FTDI_A1-if00-port0"));
  choose(3, QString::fromStdString(pty.path()));
  EXPECT_EQ(form().portName().toStdString(), pty.path());
  choose(4, QString());  // cancelled
  EXPECT_EQ(form().portName().toStdString(), pty.path());
  choose(4, QStringLiteral(""));  // nothing typed
  EXPECT_EQ(form().portName().toStdString(), pty.path());

  app.synchronisation->refreshPortList();
  QStringList items;
  for (int i = 0; i < ports->count(); ++i) items << ports->itemText(i);
  ASSERT_GE(items.size(), 3);
  EXPECT_EQ(items.mid(items.size() - 3),
            QStringList({QStringLiteral("/dev/serial/by-id/usb-FTDI_A1-if00-port0"), QString::fromStdString(pty.path()),
                         QStringLiteral("Other…")}));
  // The same path typed again is selected, not listed twice.
  choose(ports->count() - 1, QString::fromStdString(pty.path()));
  EXPECT_EQ(ports->count(), items.size());
  EXPECT_EQ(form().portName().toStdString(), pty.path());
}

// A TCP source typed through "Other…" is checked at once: a malformed one is
// said in the message line and not listed.
TEST_F(SynchronisationTest, OtherSaysWhatIsWrongWithATypedTcpSource) {
  PortComboBox* ports = c().portComboBox;
  const auto choose = [&](const QString& typed) {
    QTimer::singleShot(0, [typed] {
      auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      dialog->setTextValue(typed);
      dialog->accept();
    });
    const int other = ports->count() - 1;
    ports->setCurrentIndex(other);
    emit ports->activated(other);
  };
  ports->setFoundEntries({QStringLiteral("ttyS0 - 16550A")});
  choose(QStringLiteral("tcp://192.168.1.20:4001"));
  EXPECT_EQ(form().portName(), QStringLiteral("tcp://192.168.1.20:4001"));
  const int listed = ports->count();

  choose(QStringLiteral("tcp://192.168.1.20"));
  EXPECT_EQ(c().infoLabel->text(),
            QStringLiteral("\"tcp://192.168.1.20\" is not tcp://HOST:PORT: no port after the host"));
  EXPECT_EQ(form().portName(), QStringLiteral("tcp://192.168.1.20:4001"));
  EXPECT_EQ(ports->count(), listed);
}

TEST_F(SynchronisationTest, CustomRateMakesTheRateAnEditableField) {
  QComboBox* baud = c().baudComboBox;
  EXPECT_FALSE(baud->isEditable());
  baud->setCurrentIndex(9);
  emit baud->activated(9);
  ASSERT_TRUE(baud->isEditable());
  baud->lineEdit()->setText(QStringLiteral("14400"));
  emit baud->lineEdit()->returnPressed();
  EXPECT_EQ(baud->currentText(), QStringLiteral("14400"));
  EXPECT_EQ(baud->count(), 10);
  baud->setCurrentIndex(2);
  emit baud->activated(2);
  EXPECT_FALSE(baud->isEditable());
  EXPECT_EQ(baud->currentText(), QStringLiteral("19200"));
  EXPECT_EQ(baud->itemText(9), QStringLiteral("custom"));
}

struct FailedStartCase {
  const char* name;
  const char* port;  // empty: the pseudo-terminal
  const char* baud;
};

void PrintTo(const FailedStartCase& c, std::ostream* out) { *out << c.name; }

class FailedStartTest : public SynchronisationTest, public ::testing::WithParamInterface<FailedStartCase> {};

// Synchronise at `baud` is refused with `info`; nothing changes but the labels.
void expectRefused(SynchronisationTest& t, const char* baud, const QString& info) {

  t.select(P::BINR, QString::fromLatin1(baud));
  t.c().deviceLabel->setCaption(QStringLiteral("ABC12 01.02"));
  t.app.synchronisation->SynchroButtonClick(true);
  EXPECT_EQ(t.c().deviceLabel->text(), QStringLiteral("unknown"));
  EXPECT_EQ(t.c().infoLabel->text(), info);
  EXPECT_EQ(t.app.transport.transportState, S::STOP);
  EXPECT_FALSE(t.c().synchroTimer->isActive());
  EXPECT_FALSE(t.app.serialLink->isOpen());
  EXPECT_TRUE(t.c().synchroButton->isEnabled());
}

TEST_P(FailedStartTest, ReportsConnectionFailedAndStaysInStop) {
  if (*GetParam().port) setPort(GetParam().port);
  expectRefused(*this, GetParam().baud, QStringLiteral("Connection failed"));
}

TEST_F(SynchronisationTest, APortWithoutPermissionIsNamed) {
  const QTemporaryDir dir;
  const std::string port = test::forbiddenPort(dir.path().toStdString());
  if (port.empty()) GTEST_SKIP() << "as root, and no file here refuses root";
  setPort(port);
  expectRefused(*this, "115200", QStringLiteral("No permission for ") + QString::fromStdString(port));
}

// A TCP source that cannot be reached, or is not written as one, says why.
TEST_F(SynchronisationTest, ANetworkPortThatFailsSaysWhy) {
  struct Case {
    const char* port;
    const char* message;
  };
  const Case cases[] = {
      // Nothing listens on port 1 of the loopback.
      {"tcp://127.0.0.1:1", "Cannot connect to 127.0.0.1:1: Connection refused"},
      {"tcp://127.0.0.1", "\"tcp://127.0.0.1\" is not tcp://HOST:PORT: no port after the host"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.port);
    setPort(k.port);
    expectRefused(*this, "115200", QString::fromLatin1(k.message));
  }
}

INSTANTIATE_TEST_SUITE_P(Starts, FailedStartTest,
                         ::testing::Values(FailedStartCase{"PortMissing", "/nonexistent/tty0", "115200"},
                                           FailedStartCase{"RateIsCustom", "", "custom"},
                                           FailedStartCase{"RateNotAWholeNumber", "", "9600.5"},
                                           FailedStartCase{"RateZero", "", "0"}),
                         [](const ::testing::TestParamInfo<FailedStartCase>& info) {
                           return std::string(info.param.name);
                         });

// ---- A search without a receiver ----

struct SearchCase {
  const char* name;
  P protocol;
  int32_t selected;
  int tickMs;
  std::vector<int32_t> rates;  // tried at ticks 1, 2, ...; the next tick gives up
};

void PrintTo(const SearchCase& c, std::ostream* out) { *out << c.name; }

class SilentSearchTest : public SynchronisationTest, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(SilentSearchTest, TriesEveryOtherRateOnceThenFails) {
  const SearchCase& s = GetParam();
  select(s.protocol, QString::number(s.selected));
  app.transport.errorCount = 4;
  app.synchronisation->SynchroButtonClick(true);

  ASSERT_EQ(app.transport.transportState, S::SYNC);
  EXPECT_EQ(c().infoLabel->text(), QStringLiteral("Connection baud: %1").arg(s.selected));
  EXPECT_EQ(c().errorBytesLabel->text(), QStringLiteral("0"));
  EXPECT_EQ(app.transport.errorCount, 4);
  EXPECT_TRUE(c().synchroTimer->isActive());
  EXPECT_EQ(c().synchroTimer->interval(), s.tickMs);
  EXPECT_TRUE(c().stopButton->isEnabled());
  for (QWidget* off : {static_cast<QWidget*>(c().synchroButton), static_cast<QWidget*>(c().recordButton),
                       static_cast<QWidget*>(c().playButton), static_cast<QWidget*>(c().baudComboBox),
                       static_cast<QWidget*>(c().portComboBox), static_cast<QWidget*>(c().protComboBox)})
    EXPECT_FALSE(off->isEnabled()) << off->objectName().toStdString();
  const std::string request = searchRequest(s.protocol, s.selected);
  EXPECT_EQ(lineRate(pty.master()), seenRate(s.selected));
  if (!request.empty()) {
    EXPECT_EQ(pty.readMaster(1000), request);
  }

  // The test drives the timer.
  c().synchroTimer->stop();
  for (size_t tick = 0; tick < s.rates.size(); ++tick) {
    SCOPED_TRACE("tick " + std::to_string(tick + 1));
    app.synchronisation->SynchroTimerTimer();
    ASSERT_EQ(app.transport.transportState, S::SYNC);
    EXPECT_EQ(c().infoLabel->text(), QStringLiteral("Connection baud: %1").arg(s.rates[tick]));
    EXPECT_EQ(lineRate(pty.master()), s.rates[tick]);
    if (!request.empty()) {
    EXPECT_EQ(pty.readMaster(1000), request);
  }
  }
  app.synchronisation->SynchroTimerTimer();
  EXPECT_EQ(app.transport.transportState, S::STOP);
  EXPECT_EQ(c().infoLabel->text(), QStringLiteral("Connection failed"));
  EXPECT_EQ(c().deviceLabel->text(), QStringLiteral("unknown"));
  EXPECT_FALSE(app.transport.recordAfterSync);
  EXPECT_FALSE(app.serialLink->isOpen());
  EXPECT_TRUE(c().synchroButton->isEnabled());
  if (s.protocol == P::NMEA) {
    EXPECT_EQ(pty.readMaster(100), "");
  }

  // A tick that comes after the end changes nothing.
  app.synchronisation->SynchroTimerTimer();
  EXPECT_EQ(c().infoLabel->text(), QStringLiteral("Connection failed"));
  EXPECT_EQ(app.transport.transportState, S::STOP);
}

INSTANTIATE_TEST_SUITE_P(
    Searches, SilentSearchTest,
    ::testing::Values(
        SearchCase{"Nmea9600", P::NMEA, 9600, 1000, {19200, 4800, 38400, 57600, 115200, 230400, 460800, 921600}},
        SearchCase{"Binr115200", P::BINR, 115200, 500, {19200, 38400, 57600, 230400, 9600, 4800, 460800, 921600}},
        SearchCase{"Binr2Selected921600TriedTwice",
                   P::BINR2,
                   921600,
                   500,
                   {19200, 115200, 38400, 57600, 230400, 9600, 4800, 460800, 921600}},
        SearchCase{"NmeaRateNotInTheTable",
                   P::NMEA,
                   14400,
                   1000,
                   {19200, 9600, 4800, 38400, 57600, 115200, 230400, 460800, 921600}}),
    [](const ::testing::TestParamInfo<SearchCase>& info) { return std::string(info.param.name); });

// A search that resumes a recording starts over at the selected rate after the
// last one, for as long as it takes.
TEST_F(SynchronisationTest, ResumingSearchStartsOverAfterTheLastRate) {
  select(P::BINR, QStringLiteral("115200"));
  app.transport.recordAfterSync = true;
  app.synchronisation->SynchroButtonClick(false);
  ASSERT_EQ(app.transport.transportState, S::SYNC);
  const std::string request = searchRequest(P::BINR, 115200);
  EXPECT_EQ(pty.readMaster(1000), request);
  c().synchroTimer->stop();
  for (int cycle = 0; cycle < 2; ++cycle) {
    SCOPED_TRACE("cycle " + std::to_string(cycle));
    for (int tick = 0; tick < 8; ++tick) app.synchronisation->SynchroTimerTimer();
    EXPECT_EQ(lineRate(pty.master()), 921600);
    pty.readMaster(100);
    app.synchronisation->SynchroTimerTimer();
    EXPECT_EQ(app.transport.transportState, S::SYNC);
    EXPECT_EQ(c().infoLabel->text(), QStringLiteral("Waiting for the receiver..."));
    EXPECT_EQ(lineRate(pty.master()), 115200);
    EXPECT_EQ(pty.readMaster(1000), request);
    EXPECT_TRUE(app.transport.recordAfterSync);
  }
  app.synchronisation->SynchroTimerTimer();
  EXPECT_EQ(c().infoLabel->text(), QStringLiteral("Connection baud: 19200"));
}

// Without its port the resuming search waits, and opens it again when it is back.
TEST_F(SynchronisationTest, ResumingSearchWaitsForItsPort) {
  select(P::NMEA, QStringLiteral("9600"));
  c().portComboBox->clear();
  c().portComboBox->addItem(QStringLiteral("/nonexistent/tty0  - gone"));
  app.transport.recordAfterSync = true;
  app.synchronisation->SynchroButtonClick(false);
  EXPECT_EQ(app.transport.transportState, S::SYNC);
  EXPECT_EQ(c().infoLabel->text(), QStringLiteral("Waiting for the receiver..."));
  EXPECT_FALSE(app.serialLink->isOpen());
  EXPECT_TRUE(c().stopButton->isEnabled());
  c().synchroTimer->stop();
  app.synchronisation->SynchroTimerTimer();
  EXPECT_FALSE(app.serialLink->isOpen());
  // The device is back.
  c().portComboBox->clear();
  c().portComboBox->addItem(QString::fromStdString(pty.path()) + QStringLiteral("  - back"));
  app.synchronisation->SynchroTimerTimer();
  EXPECT_TRUE(app.serialLink->isOpen());
  EXPECT_EQ(lineRate(pty.master()), 9600);
  EXPECT_EQ(app.transport.syncBaudIndex, 0);
  // Without the pending recording a missing port fails at once, as ever.
  c().stopButton->click();
  c().portComboBox->clear();
  c().portComboBox->addItem(QStringLiteral("/nonexistent/tty0  - gone"));
  app.synchronisation->SynchroButtonClick(true);
  EXPECT_EQ(app.transport.transportState, S::STOP);
  EXPECT_EQ(c().infoLabel->text(), QStringLiteral("Connection failed"));
}

TEST_F(SynchronisationTest, StopDuringTheSearchForgetsTheDevice) {
  select(P::BINR2, QStringLiteral("115200"));
  c().deviceLabel->setCaption(QStringLiteral("ABC12 01.02 x"));
  app.transport.recordAfterSync = true;
  app.synchronisation->SynchroButtonClick(true);
  ASSERT_EQ(app.transport.transportState, S::SYNC);
  c().stopButton->click();
  EXPECT_EQ(app.transport.transportState, S::STOP);
  EXPECT_EQ(c().deviceLabel->text(), QStringLiteral("unknown"));
  EXPECT_EQ(c().infoLabel->text(), QString());
  EXPECT_FALSE(c().synchroTimer->isActive());
  EXPECT_FALSE(app.serialLink->isOpen());
  // The user's Stop also ends the wait to resume a recording; the program's own
  // Stop (the search found the receiver) keeps it for the Record that follows.
  EXPECT_FALSE(app.transport.recordAfterSync);
  app.transport.recordAfterSync = true;
  app.synchronisation->SynchroButtonClick(false);
  ASSERT_EQ(app.transport.transportState, S::SYNC);
  form().StopButtonClick(false);
  EXPECT_TRUE(app.transport.recordAfterSync);
}

}  // namespace
}  // namespace veltrano
