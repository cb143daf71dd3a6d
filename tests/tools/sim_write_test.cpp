// Recordings written with --write: what the project's decoders make of them.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "decoding/nmea_kind.h"
#include "sim/sim_protocol.h"
#include "sim_process.h"
#include "stream_check.h"
#include "util/formatters.h"

namespace veltrano::sim {
namespace {

constexpr double kLatDeg = 48.8566, kLonDeg = 2.3522;

std::vector<uint8_t> record(const std::string& dir, const std::string& name, std::vector<std::string> args) {
  const std::string path = dir + "/" + name;
  args.insert(args.end(), {"--write", path, "--lat", "48.8566", "--lon", "2.3522"});
  EXPECT_TRUE(runSimToCompletion(args));
  return readWholeFile(path);
}

struct CleanCase {
  const char* name;
  SimProtocol protocol;
  std::vector<std::string> args;
  std::vector<int> everyEpoch;  // ids (kinds) present once per epoch
  std::vector<int> present;     // ids (kinds) present at all
};

class WriteCleanTest : public testing::TestWithParam<CleanCase> {};

TEST_P(WriteCleanTest, EveryFrameDecodesAndThePositionIsTheConfiguredOne) {
  const CleanCase& c = GetParam();
  const int seconds = 12, rate = 2;
  std::vector<std::string> args = c.args;
  args.insert(args.end(), {"--duration", std::to_string(seconds), "--rate", std::to_string(rate)});
  const ScratchDir scratch;
  const std::vector<uint8_t> bytes = record(scratch.path(), "out", args);
  ASSERT_FALSE(bytes.empty());
  StreamCheck check(c.protocol);
  check.feed(bytes);
  EXPECT_EQ(check.errors(), 0);
  // Every byte belongs to a message that decoded.
  ASSERT_FALSE(check.messageEnds().empty());
  EXPECT_EQ(check.messageEnds().back(), bytes.size());
  for (int id : c.everyEpoch) EXPECT_EQ(check.count(id), seconds * rate) << "id " << id;
  for (int id : c.present) EXPECT_GT(check.count(id), 0) << "id " << id;

  double lat = 0, lon = 0;
  switch (c.protocol) {
    case SimProtocol::Nmea: {
      const NmeaFieldTable& gga = check.nmea().stored(NmeaKind::GGA);
      lat = nmeaCoordinateToRadians(gga.text(2), gga.text(3), 2) * 180.0 / kPi;
      lon = nmeaCoordinateToRadians(gga.text(4), gga.text(5), 3) * 180.0 / kPi;
      EXPECT_GE(std::atoi(gga.field[7]), 4);
      break;
    }
    case SimProtocol::Binr:
      lat = check.binr().navSolution.latitude * 180.0 / kPi;
      lon = check.binr().navSolution.longitude * 180.0 / kPi;
      EXPECT_EQ(check.binr().navSolution.solutionStatus & 1, 1);
      EXPECT_GT(check.binr().dop.hdop, 0.3f);
      EXPECT_LT(check.binr().dop.hdop, 5.0f);
      EXPECT_GT(check.binr().satsInView.satCount, 8);
      break;
    case SimProtocol::Binr2:
      lat = check.binr2().navSolution.latitude * 1e-7;
      lon = check.binr2().navSolution.longitude * 1e-7;
      EXPECT_EQ(check.binr2().navSolution.statusFlags1 & 1, 1);
      EXPECT_GT(check.binr2().satsInView.satCount, 8);
      EXPECT_TRUE(check.binr2().timeInfo.leapSecondsValid);
      break;
  }
  // Metre-level noise: well within 50 m of the configured point.
  EXPECT_NEAR(lat, kLatDeg, 50.0 / 111000.0);
  EXPECT_NEAR(lon, kLonDeg, 50.0 / 73000.0);
}

INSTANTIATE_TEST_SUITE_P(
    Protocols, WriteCleanTest,
    testing::Values(
        CleanCase{"Nmea",
                  SimProtocol::Nmea,
                  {"--protocol", "nmea"},
                  {int(NmeaKind::GGA), int(NmeaKind::RMC), int(NmeaKind::RZD)},
                  {int(NmeaKind::GSA), int(NmeaKind::GPGSV), int(NmeaKind::GLGSV), int(NmeaKind::GAGSV),
                   int(NmeaKind::BDGSV)}},
        CleanCase{"NmeaAllSentencesGnTalkerDifferential",
                  SimProtocol::Nmea,
                  {"--protocol", "nmea", "--talker", "GN", "--diff", "--sentences", "GGA,RMC,GSA,GSV,GNS,GBS,BSS,RZD"},
                  {int(NmeaKind::GGA), int(NmeaKind::RMC), int(NmeaKind::GNS), int(NmeaKind::GBS),
                   int(NmeaKind::BSS), int(NmeaKind::RZD)},
                  {int(NmeaKind::GSA), int(NmeaKind::GPGSV)}},
        CleanCase{"Binr", SimProtocol::Binr, {"--protocol", "binr"}, {0x88, 0x60, 0x93}, {0x52}},
        CleanCase{"BinrWith90", SimProtocol::Binr, {"--protocol", "binr", "--binr-nav", "90"}, {0x90}, {0x52}},
        CleanCase{"BinrMoving", SimProtocol::Binr, {"--protocol", "binr", "--speed", "1.5", "--turn", "3"}, {0x88},
                  {0x52}},
        CleanCase{"Binr2", SimProtocol::Binr2, {"--protocol", "binr2"}, {0x90, 0xA1, 0xB2}, {0xA0}}),
    [](const testing::TestParamInfo<CleanCase>& info) { return std::string(info.param.name); });

TEST(WriteDeterminismTest, TheSameSeedGivesTheSameBytesAndAnotherSeedOthers) {
  const ScratchDir scratch;
  const std::string dir = scratch.path();
  for (const char* protocol : {"nmea", "binr", "binr2"}) {
    const auto a = record(dir, "a", {"--protocol", protocol, "--duration", "5", "--seed", "7"});
    const auto b = record(dir, "b", {"--protocol", protocol, "--duration", "5", "--seed", "7"});
    const auto c = record(dir, "c", {"--protocol", protocol, "--duration", "5", "--seed", "8"});
    EXPECT_FALSE(a.empty()) << protocol;
    EXPECT_EQ(a, b) << protocol;
    EXPECT_NE(a, c) << protocol;
  }
}

class WriteCorruptTest : public testing::TestWithParam<SimProtocol> {};

TEST_P(WriteCorruptTest, OnlyTheCorruptedFramesFail) {
  const SimProtocol protocol = GetParam();
  const ScratchDir scratch;
  const std::string dir = scratch.path();
  const std::string name = protocolName(protocol);
  const std::vector<std::string> base = {"--protocol", name == "NMEA" ? "nmea" : name == "BINR" ? "binr" : "binr2",
                                         "--duration", "30", "--seed", "3"};
  const auto clean = record(dir, "clean", base);
  std::vector<std::string> corruptArgs = base;
  corruptArgs.insert(corruptArgs.end(), {"--corrupt", "0.2"});
  const auto corrupt = record(dir, "corrupt", corruptArgs);
  // Only checksum bytes change, so the frames stand at the same places.
  ASSERT_EQ(clean.size(), corrupt.size());

  StreamCheck cleanCheck(protocol);
  cleanCheck.feed(clean);
  ASSERT_EQ(cleanCheck.errors(), 0);
  int changedFrames = 0;
  size_t start = 0;
  for (size_t end : cleanCheck.messageEnds()) {
    if (!std::equal(clean.begin() + long(start), clean.begin() + long(end), corrupt.begin() + long(start)))
      ++changedFrames;
    start = end;
  }
  EXPECT_GT(changedFrames, 0);
  EXPECT_LT(changedFrames, cleanCheck.messages() / 2);

  StreamCheck corruptCheck(protocol);
  corruptCheck.feed(corrupt);
  EXPECT_EQ(corruptCheck.messages(), cleanCheck.messages() - changedFrames);
  // The BINR2 decoder drops bad frames without reporting them.
  if (protocol != SimProtocol::Binr2) {
    EXPECT_EQ(corruptCheck.errors(), changedFrames);
  }
}

INSTANTIATE_TEST_SUITE_P(Protocols, WriteCorruptTest,
                         testing::Values(SimProtocol::Nmea, SimProtocol::Binr, SimProtocol::Binr2),
                         [](const testing::TestParamInfo<SimProtocol>& info) {
                           return std::string(protocolName(info.param));
                         });

struct FaultCase {
  const char* name;
  std::vector<std::string> args;
  int solutions;  // at 2 per second over 10 s
};

class WriteFaultTest : public testing::TestWithParam<FaultCase> {};

TEST_P(WriteFaultTest, SilenceAndVanishingCutTheEpochs) {
  std::vector<std::string> args = GetParam().args;
  args.insert(args.end(), {"--protocol", "binr2", "--duration", "10", "--rate", "2"});
  const ScratchDir scratch;
  const auto bytes = record(scratch.path(), "out", args);
  StreamCheck check(SimProtocol::Binr2);
  check.feed(bytes);
  EXPECT_EQ(check.count(0x90), GetParam().solutions);
}

INSTANTIATE_TEST_SUITE_P(Faults, WriteFaultTest,
                         testing::Values(FaultCase{"None", {}, 20},
                                         FaultCase{"SilentForAWhile", {"--silent-after", "3", "--silent-for", "4"}, 12},
                                         FaultCase{"SilentToTheEnd", {"--silent-after", "6"}, 12},
                                         FaultCase{"Vanishes", {"--vanish-after", "2.5"}, 5}),
                         [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace veltrano::sim
