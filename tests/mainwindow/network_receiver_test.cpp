// The main window against the receiver simulator on its TCP port, as a receiver
// behind a serial-to-network server: Synchronise identifies it without asking it
// to change its rate, keeps the selected rate and names the record file after
// the address. (Record and the watchdog over TCP are cases of the tables in
// live_receiver_test.cpp.)
#include <gtest/gtest.h>

#include "decoding/message_fan_out.h"
#include "link/serial_link.h"
#include "link/synchronisation.h"
#include "live_receiver.h"

namespace veltrano::live {
namespace {

struct NetworkSearchCase {
  const char* name;
  P protocol;
  // The identification request, the one command the receiver is sent.
  std::string asked;
};

void PrintTo(const NetworkSearchCase& c, std::ostream* out) { *out << c.name; }

class NetworkSynchroniseTest : public LiveReceiverTest, public ::testing::WithParamInterface<NetworkSearchCase> {};

// The receiver runs at 19200 behind the server and the program has 115200
// selected: a rate request would have moved the receiver away from the server's
// rate, and nothing it said afterwards could have been decoded.
TEST_P(NetworkSynchroniseTest, IdentifiesTheReceiverAndLeavesItsRateAlone) {
  const NetworkSearchCase& s = GetParam();
  SimProcess receiver;
  ASSERT_TRUE(receiver.start({"--protocol", optionName(s.protocol), "--baud", "19200", "--rate", "5", "--sentences",
                              "GGA", "--device", "ABC12", "--firmware", "03.14", "--tcp", "0", "--log", log()}));
  const std::string url = receiver.terminalPath();
  select(s.protocol, "115200", url);
  app.transport.recordAfterSync = false;

  c().synchroButton->click();
  ASSERT_EQ(app.transport.transportState, S::SYNC);
  EXPECT_EQ(c().infoLabel->text().toStdString(), "Connected to " + url);
  EXPECT_TRUE(test::serveUntil([&] { return app.transport.transportState != S::SYNC; }, kGuardMs));

  EXPECT_EQ(app.transport.transportState, S::STOP);
  EXPECT_EQ(c().infoLabel->text(), QStringLiteral("Connection Ok"));
  EXPECT_TRUE(c().deviceLabel->text().startsWith(QStringLiteral("ABC12 03.14")))
      << c().deviceLabel->text().toStdString();
  EXPECT_EQ(c().fileLabel->text().toStdString(), "ABC12_c" + recordPortPart(url) + extension(s.protocol));
  EXPECT_TRUE(c().fileLabel->text().startsWith(QStringLiteral("ABC12_c127-0-0-1-")));
  EXPECT_EQ(c().baudComboBox->currentText(), QStringLiteral("115200"));
  EXPECT_FALSE(c().synchroTimer->isActive());
  EXPECT_FALSE(app.serialLink->isOpen());

  // The request may go out again at the next tick before its answer is in.
  const std::vector<LoggedCommand> logged = readLog(log());
  ASSERT_FALSE(logged.empty());
  for (const LoggedCommand& command : logged) EXPECT_EQ(command, (LoggedCommand{s.asked, "answered"}));
}

INSTANTIATE_TEST_SUITE_P(Protocols, NetworkSynchroniseTest,
                         ::testing::Values(NetworkSearchCase{"Nmea", P::NMEA, hexOf(textBytes("$POVER*5E\r\n"))},
                                           NetworkSearchCase{"Binr", P::BINR, binr(0x1B)},
                                           NetworkSearchCase{"Binr2", P::BINR2, binr2({0x01, 0xC0, 0x01, 0x00, 0x00})}),
                         [](const ::testing::TestParamInfo<NetworkSearchCase>& info) {
                           return std::string(info.param.name);
                         });

// A receiver that stays silent on its connection: the search asks as many times as
// it would try rates on a serial port, then gives up.
TEST_F(LiveReceiverTest, SilentNetworkReceiverIsGivenUp) {
  SimProcess receiver;
  ASSERT_TRUE(
      receiver.start({"--protocol", "binr", "--rate", "5", "--tcp", "0", "--silent-after", "0", "--log", log()}));
  select(P::BINR, "115200", receiver.terminalPath());
  app.transport.recordAfterSync = false;
  c().synchroButton->click();
  ASSERT_EQ(app.transport.transportState, S::SYNC);
  for (int tick = 1; tick <= 10; ++tick) {
    ASSERT_EQ(app.transport.transportState, S::SYNC) << "tick " << tick;
    app.synchronisation->SynchroTimerTimer();
  }
  EXPECT_EQ(c().infoLabel->text(), QStringLiteral("Connection failed"));
  EXPECT_EQ(c().deviceLabel->text(), QStringLiteral("unknown"));
  EXPECT_EQ(c().baudComboBox->currentText(), QStringLiteral("115200"));
  EXPECT_FALSE(app.serialLink->isOpen());
  // At Synchronise and at each of the nine ticks before the tenth gives up.
  EXPECT_TRUE(test::serveUntil([&] { return readLog(log()).size() >= 10; }, kGuardMs));
  test::serveFor(100);
  const std::vector<LoggedCommand> logged = readLog(log());
  EXPECT_EQ(logged, std::vector<LoggedCommand>(10, LoggedCommand{binr(0x1B), "muted"}));
}

}  // namespace
}  // namespace veltrano::live
