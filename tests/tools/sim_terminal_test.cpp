// veltrano-sim live on its pseudo-terminal, read and commanded the way the
// program's serial link does it, and checked with the project's decoders.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "decoding/nmea_kind.h"
#include "sim/crc32.h"
#include "sim/sim_protocol.h"
#include "sim_client.h"
#include "sim_exchange.h"
#include "sim_process.h"
#include "stream_check.h"

namespace veltrano::sim {
namespace {

class LiveStreamTest : public testing::TestWithParam<SimProtocol> {};

TEST_P(LiveStreamTest, DecodesCleanlyAndEqualsTheRecordingOfTheSameSeed) {
  const SimProtocol protocol = GetParam();
  const std::vector<std::string> args = {"--protocol", optionName(protocol), "--rate", "5", "--seed", "4"};
  SimProcess sim;
  ASSERT_TRUE(sim.start(args));
  SimClient client;
  ASSERT_TRUE(client.open(sim.terminalPath(), 115200));
  std::vector<uint8_t> received;
  StreamCheck check(protocol);
  EXPECT_TRUE(readUntilDecoded(client, check, received, navigationId(protocol), 3, 5000));
  EXPECT_EQ(check.errors(), 0);
  EXPECT_TRUE(beginsTheRecording(args, received));
}

INSTANTIATE_TEST_SUITE_P(Protocols, LiveStreamTest,
                         testing::Values(SimProtocol::Nmea, SimProtocol::Binr, SimProtocol::Binr2),
                         [](const testing::TestParamInfo<SimProtocol>& info) {
                           return std::string(protocolName(info.param));
                         });

class WrongRateTest : public testing::TestWithParam<SimProtocol> {};

TEST_P(WrongRateTest, GivesGarbageAndIgnoresCommands) {
  const SimProtocol protocol = GetParam();
  const ScratchDir scratch;
  const std::string log = scratch.file("log");
  SimProcess sim;
  ASSERT_TRUE(sim.start({"--protocol", optionName(protocol), "--rate", "10", "--baud", "115200", "--log", log}));
  SimClient client;
  ASSERT_TRUE(client.open(sim.terminalPath(), 9600));
  client.send(identificationRequest(protocol));
  std::vector<uint8_t> received;
  client.readUntil([](const std::vector<uint8_t>& bytes) { return bytes.size() >= 2000; }, 3000, received);
  EXPECT_GE(received.size(), 2000u);
  for (SimProtocol decoder : {SimProtocol::Nmea, SimProtocol::Binr, SimProtocol::Binr2}) {
    StreamCheck check(decoder);
    check.feed(received);
    EXPECT_EQ(check.messages(), 0) << protocolName(decoder);
    EXPECT_EQ(check.errors(), 0) << protocolName(decoder);
  }
  EXPECT_TRUE(readLogLines(log).empty());
}

INSTANTIATE_TEST_SUITE_P(Protocols, WrongRateTest,
                         testing::Values(SimProtocol::Nmea, SimProtocol::Binr, SimProtocol::Binr2),
                         [](const testing::TestParamInfo<SimProtocol>& info) {
                           return std::string(protocolName(info.param));
                         });

class IdentificationTest : public testing::TestWithParam<SimProtocol> {};

TEST_P(IdentificationTest, AnswersTheRequestWithTheDeviceName) {
  const SimProtocol protocol = GetParam();
  SimProcess sim;
  ASSERT_TRUE(sim.start({"--protocol", optionName(protocol), "--device", "ABC12", "--firmware", "03.14"}));
  SimClient client;
  ASSERT_TRUE(client.open(sim.terminalPath(), 115200));
  client.send(identificationRequest(protocol));
  std::vector<uint8_t> received;
  StreamCheck check(protocol);
  ASSERT_TRUE(readUntilDecoded(client, check, received, identificationReply(protocol), 1, 5000));
  EXPECT_EQ(check.errors(), 0);
  switch (protocol) {
    case SimProtocol::Nmea:
      EXPECT_EQ(check.nmea().stored(NmeaKind::VER).text(2), "ABC12");
      EXPECT_EQ(check.nmea().stored(NmeaKind::VER).text(3), "0314");
      break;
    case SimProtocol::Binr: EXPECT_STREQ(check.binr().version.versionText, "ABC12 03.14"); break;
    case SimProtocol::Binr2: EXPECT_STREQ(check.binr2().deviceId.deviceName, "ABC12"); break;
  }
}

INSTANTIATE_TEST_SUITE_P(Protocols, IdentificationTest,
                         testing::Values(SimProtocol::Nmea, SimProtocol::Binr, SimProtocol::Binr2),
                         [](const testing::TestParamInfo<SimProtocol>& info) {
                           return std::string(protocolName(info.param));
                         });

class RateCommandTest : public testing::TestWithParam<SimProtocol> {};

TEST_P(RateCommandTest, RepliesAndThenSpeaksAtTheNewRate) {
  const SimProtocol protocol = GetParam();
  const ScratchDir scratch;
  const std::string log = scratch.file("log");
  SimProcess sim;
  ASSERT_TRUE(sim.start({"--protocol", optionName(protocol), "--rate", "10", "--baud", "19200", "--log", log}));
  SimClient client;
  ASSERT_TRUE(client.open(sim.terminalPath(), 19200));
  const std::vector<uint8_t> command = rateCommand(protocol, 115200);
  const int reply = rateReply(protocol);
  client.send(command);
  std::vector<uint8_t> atOldRate;
  StreamCheck before(protocol);
  ASSERT_TRUE(readUntilDecoded(client, before, atOldRate, reply, 1, 5000));
  EXPECT_EQ(before.errors(), 0);
  if (protocol == SimProtocol::Binr2) {
    EXPECT_EQ(before.binr2().ack.ackedCommand, 2);
  }
  // The reply is the last frame at the old rate.
  EXPECT_EQ(before.messageEnds().back(), atOldRate.size());

  ASSERT_TRUE(client.setBaud(115200));
  std::vector<uint8_t> atNewRate;
  StreamCheck after(protocol);
  EXPECT_TRUE(readUntilDecoded(client, after, atNewRate, navigationId(protocol), 3, 5000));
  EXPECT_EQ(after.errors(), 0);

  const auto lines = readLogLines(log);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0][1], protocolName(protocol));
  EXPECT_EQ(lines[0][2], "answered");
  EXPECT_EQ(lines[0][3], hexOf(command));
}

INSTANTIATE_TEST_SUITE_P(Protocols, RateCommandTest, testing::Values(SimProtocol::Binr, SimProtocol::Binr2),
                         [](const testing::TestParamInfo<SimProtocol>& info) {
                           return std::string(protocolName(info.param));
                         });

TEST(CommandLogTest, RecordsEveryCommandInOrderWithItsText) {
  const ScratchDir scratch;
  const std::string log = scratch.file("log");
  SimProcess sim;
  ASSERT_TRUE(sim.start({"--log", log}));
  SimClient client;
  ASSERT_TRUE(client.open(sim.terminalPath(), 115200));
  const std::vector<std::vector<uint8_t>> commands = {text("$PKON1,0,10,,,0000,A*5B\r\n"), text("$POVER*00\r\n"),
                                                      text("$PXXXX,1*4D\r\n"), text("$POVER*5E\r\n")};
  for (const auto& c : commands) client.send(c);
  std::vector<uint8_t> received;
  StreamCheck check(SimProtocol::Nmea);
  ASSERT_TRUE(readUntilDecoded(client, check, received, int(NmeaKind::VER), 1, 5000));
  EXPECT_EQ(check.count(int(NmeaKind::VER)), 1);

  const auto lines = readLogLines(log);
  ASSERT_EQ(lines.size(), commands.size());
  const char* verdicts[] = {"accepted", "bad-checksum", "unknown", "answered"};
  const char* texts[] = {"$PKON1,0,10,,,0000,A", "$POVER", "$PXXXX,1", "$POVER"};
  for (size_t i = 0; i < lines.size(); ++i) {
    ASSERT_EQ(lines[i].size(), 5u);
    EXPECT_EQ(lines[i][0].size(), 23u);  // YYYY-MM-DDTHH:MM:SS.mmm
    EXPECT_EQ(lines[i][1], "NMEA");
    EXPECT_EQ(lines[i][2], verdicts[i]);
    EXPECT_EQ(lines[i][3], hexOf(commands[i]));
    EXPECT_EQ(lines[i][4], texts[i]);
  }
}

struct SwitchCase {
  const char* name;
  SimProtocol from, to;
  std::vector<uint8_t> command;
  int reply;  // in the old protocol; 0 for none
};

class ProtocolSwitchTest : public testing::TestWithParam<SwitchCase> {};

TEST_P(ProtocolSwitchTest, ChangesTheOutputProtocol) {
  const SwitchCase& c = GetParam();
  const ScratchDir scratch;
  const std::string log = scratch.file("log");
  SimProcess sim;
  ASSERT_TRUE(sim.start({"--protocol", optionName(c.from), "--rate", "10", "--log", log}));
  SimClient client;
  ASSERT_TRUE(client.open(sim.terminalPath(), 115200));
  std::vector<uint8_t> received;
  StreamCheck old(c.from);
  ASSERT_TRUE(readUntilDecoded(client, old, received, navigationId(c.from), 1, 5000));
  client.send(c.command);
  size_t switchedAt = received.size();
  if (c.reply != 0) {
    ASSERT_TRUE(readUntilDecoded(client, old, received, c.reply, 1, 5000));
    switchedAt = old.messageEnds().back();
  }
  EXPECT_EQ(old.errors(), 0);
  StreamCheck fresh(c.to);
  std::vector<uint8_t> rest(received.begin() + long(switchedAt), received.end());
  EXPECT_TRUE(readUntilDecoded(client, fresh, rest, navigationId(c.to), 3, 5000));
  EXPECT_EQ(fresh.errors(), 0);
  const auto lines = readLogLines(log);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0][1], protocolName(c.from));
}

INSTANTIATE_TEST_SUITE_P(
    Switches, ProtocolSwitchTest,
    testing::Values(
        SwitchCase{"NmeaToBinr", SimProtocol::Nmea, SimProtocol::Binr, text("$PORZA,0,0,3*49\r\n\0"), 0},
        SwitchCase{"NmeaToBinr2", SimProtocol::Nmea, SimProtocol::Binr2, text("$PORZA,0,0,4*4E\r\n"), 0},
        SwitchCase{"BinrToNmea", SimProtocol::Binr, SimProtocol::Nmea, binrCommand(0x0B, {0, 0, 0, 0, 0, 0x02}), 0x50},
        SwitchCase{"BinrToBinr2", SimProtocol::Binr, SimProtocol::Binr2, binrCommand(0x0B, {0, 0, 0, 0, 0, 0x05}),
                   0x50},
        SwitchCase{"Binr2ToBinr", SimProtocol::Binr2, SimProtocol::Binr,
                   binr2Command({0x02, 0x00, 0x02, 0, 0, 0, 0}), 0x80},
        SwitchCase{"Binr2ToNmea", SimProtocol::Binr2, SimProtocol::Nmea,
                   binr2Command({0x02, 0x00, 0x04, 0, 0, 0, 0}), 0x80}),
    [](const testing::TestParamInfo<SwitchCase>& info) { return std::string(info.param.name); });

TEST(SilenceTest, ASilentReceiverSendsNothingAndAnswersNothing) {
  const ScratchDir scratch;
  const std::string log = scratch.file("log");
  SimProcess sim;
  ASSERT_TRUE(sim.start({"--rate", "10", "--silent-after", "0", "--log", log}));
  SimClient client;
  ASSERT_TRUE(client.open(sim.terminalPath(), 115200));
  client.send(text("$POVER*5E\r\n"));
  std::vector<uint8_t> received;
  client.readUntil([&](const std::vector<uint8_t>&) { return false; }, 800, received);
  EXPECT_TRUE(received.empty());
  const auto lines = readLogLines(log);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0][2], "muted");
}

enum class Ending { Sigterm, Sigint, SigtermBeforeOpen, OtherSideCloses, Vanishes };

std::string endingName(Ending ending) {
  switch (ending) {
    case Ending::Sigterm: return "Sigterm";
    case Ending::Sigint: return "Sigint";
    case Ending::SigtermBeforeOpen: return "SigtermBeforeOpen";
    case Ending::OtherSideCloses: return "OtherSideCloses";
    case Ending::Vanishes: return "Vanishes";
  }
  return "";
}

class ExitTest : public testing::TestWithParam<Ending> {};

TEST_P(ExitTest, EndsCleanlyAndRemovesTheLink) {
  const Ending ending = GetParam();
  const ScratchDir scratch;
  const std::string link = scratch.file("ttyVSIM");
  std::vector<std::string> args = {"--link", link, "--rate", "10"};
  if (ending == Ending::Vanishes) args.insert(args.end(), {"--vanish-after", "0.3"});
  SimProcess sim;
  ASSERT_TRUE(sim.start(args));
  struct stat st {};
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  SimClient client;
  if (ending != Ending::SigtermBeforeOpen) {
    ASSERT_TRUE(client.open(link, 115200));
    std::vector<uint8_t> received;
    StreamCheck check(SimProtocol::Nmea);
    ASSERT_TRUE(readUntilDecoded(client, check, received, int(NmeaKind::GGA), 1, 5000));
  }
  switch (ending) {
    case Ending::Sigterm:
    case Ending::SigtermBeforeOpen: sim.sendSignal(SIGTERM); break;
    case Ending::Sigint: sim.sendSignal(SIGINT); break;
    case Ending::OtherSideCloses: client.close(); break;
    case Ending::Vanishes: {
      std::vector<uint8_t> received;
      EXPECT_FALSE(client.readUntil([](const std::vector<uint8_t>&) { return false; }, 5000, received));
      break;
    }
  }
  int status = 0;
  ASSERT_TRUE(sim.waitExit(5000, status));
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_NE(lstat(link.c_str(), &st), 0);
}

INSTANTIATE_TEST_SUITE_P(Endings, ExitTest,
                         testing::Values(Ending::Sigterm, Ending::Sigint, Ending::SigtermBeforeOpen,
                                         Ending::OtherSideCloses, Ending::Vanishes),
                         [](const testing::TestParamInfo<Ending>& info) { return endingName(info.param); });

TEST(ReopenTest, WithReopenServesTheNextOpenAfterAClose) {
  SimProcess sim;
  ASSERT_TRUE(sim.start({"--rate", "10", "--reopen"}));
  for (int round = 0; round < 2; ++round) {
    SimClient client;
    ASSERT_TRUE(client.open(sim.terminalPath(), 115200));
    std::vector<uint8_t> received;
    StreamCheck check(SimProtocol::Nmea);
    EXPECT_TRUE(readUntilDecoded(client, check, received, int(NmeaKind::GGA), 2, 5000)) << "round " << round;
    EXPECT_EQ(check.errors(), 0);
  }
  int status = 0;
  EXPECT_FALSE(sim.waitExit(200, status));
  sim.sendSignal(SIGTERM);
  ASSERT_TRUE(sim.waitExit(5000, status));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// --copy keeps what each opening of the terminal was sent: all that the other
// side read, and after it closed what went out unread.
TEST(CopyTest, HoldsWhatEachOpeningOfTheTerminalWasSent) {
  const ScratchDir scratch;
  SimProcess sim;
  ASSERT_TRUE(sim.start({"--rate", "10", "--duration", "2", "--reopen", "--copy", scratch.file("sent")}));
  std::vector<uint8_t> first;
  {
    SimClient client;
    ASSERT_TRUE(client.open(sim.terminalPath(), 115200));
    StreamCheck check(SimProtocol::Nmea);
    ASSERT_TRUE(readUntilDecoded(client, check, first, int(NmeaKind::GGA), 2, 5000));
  }
  // Long enough closed for the receiver to notice.
  usleep(200000);
  SimClient client;
  ASSERT_TRUE(client.open(sim.terminalPath(), 115200));
  std::vector<uint8_t> second;
  // The output ends two seconds after the first opening; what came last arrives within this.
  client.readFor(3000, second);
  EXPECT_FALSE(second.empty());
  EXPECT_EQ(readWholeFile(scratch.file("sent.2")), second);
  const std::vector<uint8_t> copied = readWholeFile(scratch.file("sent.1"));
  ASSERT_GE(copied.size(), first.size());
  EXPECT_TRUE(std::equal(first.begin(), first.end(), copied.begin()));
}

TEST(FloodTest, SendsAsFastAsReadAndReportsCountAndChecksum) {
  const std::vector<std::string> args = {"--protocol", "binr", "--rate", "10", "--duration", "60"};
  SimProcess sim;
  std::vector<std::string> floodArgs = args;
  floodArgs.push_back("--flood");
  ASSERT_TRUE(sim.start(floodArgs));
  SimClient client;
  ASSERT_TRUE(client.open(sim.terminalPath(), 115200));
  std::vector<uint8_t> received;
  std::string stats;
  unsigned long long announced = 0;
  unsigned crc = 0;
  for (int i = 0; i < 1000 && (stats.empty() || received.size() < announced); ++i) {
    client.readFor(20, received);
    if (stats.empty() && sim.readLine(stats, 1)) {
      ASSERT_EQ(std::sscanf(stats.c_str(), "flood: %llu bytes, crc32 %x", &announced, &crc), 2) << stats;
    }
  }
  ASSERT_FALSE(stats.empty());
  EXPECT_EQ(received.size(), announced);
  EXPECT_EQ(crc32Update(0, received.data(), received.size()), crc);

  const ScratchDir scratch;
  const std::string file = scratch.file("rec");
  std::vector<std::string> writeArgs = args;
  writeArgs.insert(writeArgs.end(), {"--write", file});
  ASSERT_TRUE(runSimToCompletion(writeArgs));
  EXPECT_EQ(received, readWholeFile(file));
}

}  // namespace
}  // namespace veltrano::sim
