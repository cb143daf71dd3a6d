// veltrano-sim on a TCP port, as a receiver behind a serial-to-network server:
// the stream of its terminal, commands read from the connection, one client at a
// time, a dropped connection, a server that goes away and comes back, and a rate
// change that the server's serial side does not follow.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "sim/sim_protocol.h"
#include "sim_client.h"
#include "sim_exchange.h"
#include "sim_process.h"
#include "stream_check.h"

namespace veltrano::sim {
namespace {

constexpr int kGuardMs = 5000;  // only a failing test waits this long

bool ipv6LoopbackWorks() {
  const int probe = ::socket(AF_INET6, SOCK_STREAM, 0);
  if (probe < 0) return false;
  sockaddr_in6 loopback{};
  loopback.sin6_family = AF_INET6;
  loopback.sin6_addr = in6addr_loopback;
  const bool works = ::bind(probe, reinterpret_cast<const sockaddr*>(&loopback), sizeof loopback) == 0;
  ::close(probe);
  return works;
}

std::vector<std::string> withTcp(std::vector<std::string> args, const char* address = "0") {
  args.insert(args.end(), {"--tcp", address});
  return args;
}

class TcpStreamTest : public testing::TestWithParam<SimProtocol> {};

TEST_P(TcpStreamTest, ServesTheRecordingOfTheSameSeedAndAnswersCommands) {
  const SimProtocol protocol = GetParam();
  const std::vector<std::string> args = {"--protocol", optionName(protocol), "--rate", "5", "--seed", "4"};
  SimProcess sim;
  ASSERT_TRUE(sim.start(withTcp(args)));
  EXPECT_TRUE(sim.terminalPath().starts_with("tcp://127.0.0.1:")) << sim.terminalPath();
  SimClient client;
  ASSERT_TRUE(client.connect(sim.terminalPath()));
  std::vector<uint8_t> received;
  StreamCheck check(protocol);
  EXPECT_TRUE(readUntilDecoded(client, check, received, navigationId(protocol), 3, kGuardMs));
  EXPECT_EQ(check.errors(), 0);
  EXPECT_TRUE(beginsTheRecording(args, received));

  client.send(identificationRequest(protocol));
  EXPECT_TRUE(readUntilDecoded(client, check, received, identificationReply(protocol), 1, kGuardMs));
  EXPECT_EQ(check.errors(), 0);
}

INSTANTIATE_TEST_SUITE_P(Protocols, TcpStreamTest,
                         testing::Values(SimProtocol::Nmea, SimProtocol::Binr, SimProtocol::Binr2),
                         [](const testing::TestParamInfo<SimProtocol>& info) {
                           return std::string(protocolName(info.param));
                         });

struct ListenCase {
  const char* name;
  const char* address;  // of --tcp
  const char* printed;  // the start of what the simulator prints
  bool ipv6;
};

void PrintTo(const ListenCase& c, std::ostream* out) { *out << c.name; }

class TcpClientsTest : public testing::TestWithParam<ListenCase> {};

// A second client waits, unserved, until the first leaves; then it gets whole
// frames from the start.
TEST_P(TcpClientsTest, ServesOneClientAfterAnother) {
  const ListenCase& c = GetParam();
  if (c.ipv6 && !ipv6LoopbackWorks()) GTEST_SKIP() << "no IPv6 loopback here";
  SimProcess sim;
  ASSERT_TRUE(sim.start(withTcp({"--rate", "10"}, c.address)));
  EXPECT_TRUE(sim.terminalPath().starts_with(c.printed)) << sim.terminalPath();

  SimClient first;
  ASSERT_TRUE(first.connect(sim.terminalPath()));
  std::vector<uint8_t> toFirst;
  StreamCheck firstCheck(SimProtocol::Nmea);
  EXPECT_TRUE(readUntilDecoded(first, firstCheck, toFirst, int(NmeaKind::GGA), 2, kGuardMs));
  SimClient second;
  ASSERT_TRUE(second.connect(sim.terminalPath()));
  std::vector<uint8_t> toSecond;
  EXPECT_TRUE(second.readFor(300, toSecond));
  EXPECT_TRUE(toSecond.empty());

  first.close();
  StreamCheck secondCheck(SimProtocol::Nmea);
  EXPECT_TRUE(readUntilDecoded(second, secondCheck, toSecond, int(NmeaKind::GGA), 2, kGuardMs));
  EXPECT_EQ(secondCheck.errors(), 0);
  ASSERT_FALSE(toSecond.empty());
  EXPECT_EQ(toSecond.front(), '$');
  int status = 0;
  EXPECT_FALSE(sim.waitExit(100, status));
}

INSTANTIATE_TEST_SUITE_P(Addresses, TcpClientsTest,
                         testing::Values(ListenCase{"PortOnly", "0", "tcp://127.0.0.1:", false},
                                         ListenCase{"Ipv6", "[::1]:0", "tcp://[::1]:", true}),
                         [](const testing::TestParamInfo<ListenCase>& info) { return std::string(info.param.name); });

// --drop-after closes the first connection once; the next client is served for good.
TEST(TcpFaultTest, DropAfterClosesTheConnectionOnce) {
  SimProcess sim;
  ASSERT_TRUE(sim.start({"--rate", "10", "--tcp", "0", "--drop-after", "0.5"}));
  SimClient client;
  ASSERT_TRUE(client.connect(sim.terminalPath()));
  std::vector<uint8_t> before;
  EXPECT_FALSE(client.readUntil([](const std::vector<uint8_t>&) { return false; }, kGuardMs, before));
  EXPECT_TRUE(client.gone());
  StreamCheck beforeCheck(SimProtocol::Nmea);
  beforeCheck.feed(before);
  EXPECT_GE(beforeCheck.count(int(NmeaKind::GGA)), 3);
  EXPECT_EQ(beforeCheck.errors(), 0);

  client.close();
  ASSERT_TRUE(client.connect(sim.terminalPath()));
  std::vector<uint8_t> after;
  StreamCheck afterCheck(SimProtocol::Nmea);
  EXPECT_TRUE(readUntilDecoded(client, afterCheck, after, int(NmeaKind::GGA), 3, kGuardMs));
  // Longer than the first connection lasted.
  EXPECT_TRUE(client.readFor(800, after));
  EXPECT_EQ(afterCheck.errors(), 0);
}

// With --unplug-after the server goes away: its connection closes and new ones
// are refused until it listens again at the same address.
TEST(TcpFaultTest, UnpluggedServerRefusesThenListensAgain) {
  SimProcess sim;
  ASSERT_TRUE(sim.start({"--rate", "10", "--tcp", "0", "--unplug-after", "0.3", "--unplug-for", "1.5"}));
  SimClient client;
  ASSERT_TRUE(client.connect(sim.terminalPath()));
  std::vector<uint8_t> received;
  EXPECT_FALSE(client.readUntil([](const std::vector<uint8_t>&) { return false; }, kGuardMs, received));
  EXPECT_TRUE(client.gone());
  client.close();
  EXPECT_FALSE(client.connect(sim.terminalPath()));
  client.close();

  bool back = false;
  for (int attempt = 0; attempt < 50 && !back; ++attempt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    back = client.connect(sim.terminalPath());
    if (!back) client.close();
  }
  ASSERT_TRUE(back);
  std::vector<uint8_t> again;
  StreamCheck check(SimProtocol::Nmea);
  EXPECT_TRUE(readUntilDecoded(client, check, again, int(NmeaKind::GGA), 2, kGuardMs));
  EXPECT_EQ(check.errors(), 0);
}

class TcpRateTest : public testing::TestWithParam<SimProtocol> {};

// Why the program never asks a receiver on the network to change its rate: the
// receiver answers at its old rate and moves, the server's serial side stays,
// and from then on nothing it sends can be decoded and nothing sent to it is heard.
TEST_P(TcpRateTest, ARateChangeLeavesTheReceiverUnheardBehindTheServer) {
  const SimProtocol protocol = GetParam();
  const ScratchDir scratch;
  const std::string log = scratch.file("log");
  SimProcess sim;
  ASSERT_TRUE(
      sim.start(withTcp({"--protocol", optionName(protocol), "--rate", "10", "--baud", "115200", "--log", log})));
  SimClient client;
  ASSERT_TRUE(client.connect(sim.terminalPath()));
  const std::vector<uint8_t> command = rateCommand(protocol, 19200);
  client.send(command);
  std::vector<uint8_t> atOldRate;
  StreamCheck before(protocol);
  ASSERT_TRUE(readUntilDecoded(client, before, atOldRate, rateReply(protocol), 1, kGuardMs));

  // The receiver moves once its reply is out.
  std::vector<uint8_t> afterwards;
  EXPECT_TRUE(client.readFor(300, afterwards));
  client.send(identificationRequest(protocol));
  EXPECT_TRUE(client.readFor(700, afterwards));
  StreamCheck after(protocol);
  after.feed(afterwards);
  EXPECT_FALSE(afterwards.empty());
  EXPECT_EQ(after.count(navigationId(protocol)), 0);
  EXPECT_EQ(after.count(identificationReply(protocol)), 0);
  EXPECT_EQ(readLogLines(log).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Protocols, TcpRateTest, testing::Values(SimProtocol::Binr, SimProtocol::Binr2),
                         [](const testing::TestParamInfo<SimProtocol>& info) {
                           return std::string(protocolName(info.param));
                         });

TEST(TcpOptionsTest, BadAddressesAndCombinationsAreRefused) {
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const Case cases[] = {
      {{"--tcp", "gps"}, "bad value for --tcp: gps (no port after the host)"},
      {{"--tcp", "70000"}, "bad value for --tcp: 70000 (the port is a number from 0 to 65535)"},
      {{"--tcp", "::1:4001"}, "bad value for --tcp: ::1:4001 (an IPv6 address goes in brackets, as in [::1]:4001)"},
      {{"--tcp", "0", "--link", "/tmp/gps"}, "--tcp does not go with --link"},
      {{"--drop-after", "1"}, "--drop-after needs --tcp"},
      {{"--tcp", "0", "--write", "rec", "--duration", "1"}, "--write does not go with --flood, --link, --log, --copy or --tcp"},
  };
  for (const Case& c : cases) {
    std::string output;
    EXPECT_EQ(runSimForOutput(c.args, output), 2) << c.message;
    EXPECT_NE(output.find(c.message), std::string::npos) << output;
  }
}

}  // namespace
}  // namespace veltrano::sim
