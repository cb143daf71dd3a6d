// What the serial link sets on its line: the mode and parity read back from the
// other side of a pseudo-terminal, rates the receiver simulator understands or
// not, and the hold on the port that keeps every other opener out.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <string>
#include <utility>

#include "decoding/nmea_kind.h"
#include "link/serial_link.h"
#include "pty_fixture.h"
#include "sim_process.h"
#include "stream_check.h"

namespace veltrano {
namespace {

using test::PatternReceiver;
using test::PseudoTerminal;

constexpr int kGuardMs = 10000;  // only a failing test waits this long

// ---- Line mode and parity ----

struct ModeCase {
  const char* name;
  bool oddParity;
  bool cookedBefore;  // another program left the line cooked, with the opposite parity
  int32_t openBaud;
  int32_t laterBaud;  // set with setPortBaud when not 0
  speed_t expectedSpeed;
};

void PrintTo(const ModeCase& c, std::ostream* out) { *out << c.name; }

// A line as a terminal program leaves it: canonical, echoing, flow control on.
void cookLine(int fd, bool oddParity) {
  termios t{};
  ASSERT_EQ(::tcgetattr(fd, &t), 0);
  t.c_iflag |= ICRNL | IXON | IXOFF | IXANY | INPCK;
  t.c_oflag |= OPOST | ONLCR;
  t.c_lflag |= ICANON | ECHO | ISIG | IEXTEN;
  t.c_cflag |= CSTOPB | CRTSCTS;
  t.c_cflag &= ~tcflag_t(CLOCAL | PARODD);
  if (oddParity) t.c_cflag |= PARODD;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 5;
  ASSERT_EQ(::cfsetspeed(&t, B19200), 0);
  ASSERT_EQ(::tcsetattr(fd, TCSANOW, &t), 0);
}

class SerialLinkModeTest : public ::testing::TestWithParam<ModeCase> {};

// The termios ioctls on the master side act on the link's side. A Linux
// pseudo-terminal keeps neither PARENB nor another character size than CS8, so of
// the parity only PARODD can be read back here.
TEST_P(SerialLinkModeTest, OpenSetsARawLineWithTheParityWhateverWasSetBefore) {
  const ModeCase& c = GetParam();
  PseudoTerminal pty;
  ASSERT_TRUE(pty.isOpen());
  if (c.cookedBefore) cookLine(pty.master(), !c.oddParity);
  PatternReceiver receiver;
  SerialLink link(receiver);
  ASSERT_TRUE(link.openPort(QString::fromStdString(pty.path()), c.openBaud, c.oddParity, true));
  if (c.laterBaud != 0) {
    ASSERT_TRUE(link.setPortBaud(c.laterBaud));
  }

  termios t{};
  ASSERT_EQ(::tcgetattr(pty.master(), &t), 0);
  EXPECT_EQ((t.c_cflag & PARODD) != 0, c.oddParity);
  EXPECT_EQ(t.c_cflag & (CSTOPB | CRTSCTS | CLOCAL), tcflag_t(CLOCAL));
  EXPECT_EQ(t.c_iflag & (ICRNL | IXON | IXOFF | IXANY | INPCK), 0u);
  EXPECT_EQ(t.c_oflag & OPOST, 0u);
  EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
  EXPECT_EQ(t.c_cc[VMIN], 0);
  EXPECT_EQ(t.c_cc[VTIME], 0);
  EXPECT_EQ(::cfgetospeed(&t), c.expectedSpeed);

  // The line works in both directions.
  test::PatternWriter writer(pty.master(), 4000);
  EXPECT_TRUE(test::serveUntil([&] { return receiver.received >= 4000; }, kGuardMs));
  EXPECT_EQ(receiver.mismatches, 0u);
  const uint8_t command[] = {'$', 'P', '\r', '\n'};
  EXPECT_EQ(link.writePort(command, 4), 4);
  EXPECT_EQ(pty.readMaster(1000), "$P\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SerialLinkModeTest,
    ::testing::Values(ModeCase{"OddOverACookedLine", true, true, 9600, 0, B9600},
                      ModeCase{"NoneOverACookedOddLine", false, true, 115200, 0, B115200},
                      ModeCase{"OddOverARawLine", true, false, 115200, 0, B115200},
                      ModeCase{"OddKeptThroughARateChange", true, true, 115200, 921600, B921600},
                      ModeCase{"NoneKeptThroughARateChange", false, true, 4800, 57600, B57600}),
    [](const ::testing::TestParamInfo<ModeCase>& info) { return std::string(info.param.name); });

// ---- Rates the receiver understands ----

// Decodes the NMEA that arrives, as it arrives.
class NmeaReceiver : public LinkReceiver {
 public:
  void receiveBlock(const uint8_t* bytes, int32_t length) override {
    for (int32_t i = 0; i < length; ++i) check.push(bytes[i]);
    received += uint64_t(length);
  }
  void countLineError() override {}

  sim::StreamCheck check{sim::SimProtocol::Nmea};
  uint64_t received = 0;
};

struct RateCase {
  const char* name;
  int32_t openBaud;
  int32_t laterBaud;  // set with setPortBaud when not 0
  const char* receiverBaud;
  bool understood;
};

void PrintTo(const RateCase& c, std::ostream* out) { *out << c.name; }

class SerialLinkRateTest : public ::testing::TestWithParam<RateCase> {};

// The simulator reads the rate the link set from its side of the terminal: at
// another rate it ignores the commands and sends bytes that never decode.
TEST_P(SerialLinkRateTest, ReceiverUnderstandsTheLinkOnlyAtItsOwnRate) {
  const RateCase& c = GetParam();
  sim::SimProcess simulator;
  ASSERT_TRUE(simulator.start({"--protocol", "nmea", "--baud", c.receiverBaud, "--rate", "10"}));
  NmeaReceiver receiver;
  SerialLink link(receiver);
  ASSERT_TRUE(link.openPort(QString::fromStdString(simulator.terminalPath()), c.openBaud, false, true));
  if (c.laterBaud != 0) {
    ASSERT_TRUE(link.setPortBaud(c.laterBaud));
  }
  const std::string request = "$POVER*5E\r\n";
  ASSERT_EQ(link.writePort(reinterpret_cast<const uint8_t*>(request.data()), int(request.size())),
            int(request.size()));

  const int version = int(NmeaKind::VER);
  EXPECT_TRUE(test::serveUntil(
      [&] { return receiver.received >= 3000 && (!c.understood || receiver.check.count(version) > 0); }, kGuardMs));
  EXPECT_EQ(receiver.check.messages() > 0, c.understood) << receiver.check.messages() << " messages";
  EXPECT_EQ(receiver.check.count(version) > 0, c.understood);
  if (c.understood) {
    EXPECT_EQ(receiver.check.errors(), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Rates, SerialLinkRateTest,
                         ::testing::Values(RateCase{"CustomRate", 250000, 0, "250000", true},
                                           RateCase{"ChangedToACustomRate", 115200, 250000, "250000", true},
                                           RateCase{"ChangedFromACustomRate", 250000, 57600, "57600", true},
                                           RateCase{"NearbyStandardRate", 230400, 0, "250000", false}),
                         [](const ::testing::TestParamInfo<RateCase>& info) { return std::string(info.param.name); });

// ---- The hold on the port ----

// How another opener sees the port: exclusive (TIOCEXCL), locked (flock).
std::pair<bool, bool> holdSeenBy(int fd) {
  int exclusive = 0;
  const bool exclusiveKnown = ::ioctl(fd, TIOCGEXCL, &exclusive) == 0;
  const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
  if (!locked) ::flock(fd, LOCK_UN);
  return {exclusiveKnown && exclusive != 0, locked};
}

constexpr std::pair<bool, bool> kFree{false, false};
constexpr std::pair<bool, bool> kHeld{true, true};

// Two other openers of the link's port: one to hold it, one to look. Both open it
// before the link takes it, as TIOCEXCL refuses later opens (except by root).
class SerialLinkHoldTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.isOpen());
    holder = ::open(pty.path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    probe = ::open(pty.path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_GE(probe, 0);
  }
  void TearDown() override {
    for (const int fd : {holder, probe})
      if (fd >= 0) ::close(fd);
  }
  bool open(SerialLink& link) { return link.openPort(QString::fromStdString(pty.path()), 115200, true, true); }

  PseudoTerminal pty;
  int holder = -1;
  int probe = -1;
  PatternReceiver receiver;
};

// Running as root, TIOCEXCL refuses nobody; the lock still refuses a second link.
TEST_F(SerialLinkHoldTest, HeldPortIsExclusiveAndLockedUntilClosed) {
  SerialLink first(receiver);
  SerialLink second(receiver);
  EXPECT_EQ(holdSeenBy(probe), kFree);
  ASSERT_TRUE(open(first));
  EXPECT_EQ(holdSeenBy(probe), kHeld);
  EXPECT_FALSE(open(second));
  EXPECT_FALSE(second.isOpen());
  EXPECT_EQ(holdSeenBy(probe), kHeld) << "the refused open released the first link's hold";
  first.closePort();
  EXPECT_EQ(holdSeenBy(probe), kFree);
  EXPECT_TRUE(open(second));
  EXPECT_EQ(holdSeenBy(probe), kHeld);
  second.closePort();
  EXPECT_EQ(holdSeenBy(probe), kFree);
}

struct ForeignHold {
  const char* name;
  int (*take)(int fd);
  int (*release)(int fd);
  std::pair<bool, bool> seen;
};

void PrintTo(const ForeignHold& h, std::ostream* out) { *out << h.name; }

class SerialLinkForeignHoldTest : public SerialLinkHoldTest, public ::testing::WithParamInterface<ForeignHold> {};

// Another program holds the port with only one of the two; the link stays out
// (as root it gets past TIOCEXCL, then finds the port exclusive) and leaves that
// hold alone.
TEST_P(SerialLinkForeignHoldTest, PortHeldByAnotherProgramIsRefusedAndLeftHeld) {
  const ForeignHold& hold = GetParam();
  ASSERT_EQ(hold.take(holder), 0);
  ASSERT_EQ(holdSeenBy(probe), hold.seen);
  SerialLink link(receiver);
  EXPECT_FALSE(open(link));
  EXPECT_FALSE(link.isOpen());
  EXPECT_EQ(holdSeenBy(probe), hold.seen);
  ASSERT_EQ(hold.release(holder), 0);
  EXPECT_TRUE(open(link));
}

INSTANTIATE_TEST_SUITE_P(
    Holds, SerialLinkForeignHoldTest,
    ::testing::Values(ForeignHold{"Exclusive", [](int fd) { return ::ioctl(fd, TIOCEXCL); },
                                  [](int fd) { return ::ioctl(fd, TIOCNXCL); }, {true, false}},
                      ForeignHold{"Locked", [](int fd) { return ::flock(fd, LOCK_EX | LOCK_NB); },
                                  [](int fd) { return ::flock(fd, LOCK_UN); }, {false, true}}),
    [](const ::testing::TestParamInfo<ForeignHold>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace veltrano
