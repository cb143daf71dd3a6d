#include "decoding/message_fan_out.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "test_frames.h"

namespace veltrano {
namespace {

using test::Bytes;
using Calls = std::vector<std::string>;

// Logs, in one list and in order, every call the fan-out makes on the windows,
// the conversion and the synchronisation.
struct RecordingSinks : DisplaySink, ConversionSink, SyncSink {
  Calls calls;
  Fix shownFix, writtenFix;
  const TransportFields* transport = nullptr;
  int32_t syncBaudIndexWhenHeard = -1;

  // DisplaySink
  void showSolution(const Fix& fix, const SolutionSatellites* satellites) override {
    shownFix = fix;
    calls.emplace_back(satellites ? "showSolution+satellites" : "showSolution");
  }
  void showGsa(const NmeaFieldTable& gsa) override { calls.push_back("showGsa:" + std::string(gsa.text(0))); }
  void endGsaGroup() override { calls.emplace_back("endGsaGroup"); }
  void showBss(const NmeaFieldTable& bss) override { calls.push_back("showBss:" + std::string(bss.text(0))); }
  void showDevice(std::string_view text) override { calls.push_back("showDevice:" + std::string(text)); }
  void showErrorCount(int32_t count) override { calls.push_back("showErrorCount:" + std::to_string(count)); }
  void showSatellitesInView(NmeaKind kind, const NmeaFieldTable&, bool glonassSeen) override {
    calls.push_back("showSatellitesInView:" + std::string(nmeaKindName(kind)) + (glonassSeen ? "+glonass" : ""));
  }
  void showSatellitesInView(const BinrSatsInView&) override { calls.emplace_back("showSatellitesInView:binr"); }
  void showSatellitesInView(const Binr2SatsInView&) override { calls.emplace_back("showSatellitesInView:binr2"); }

  // ConversionSink
  void writeSolution(const Fix& fix) override {
    writtenFix = fix;
    calls.emplace_back("writeSolution");
  }
  void writeSatellitesInView(const BinrSatsInView&) override { calls.emplace_back("writeSatellitesInView:binr"); }
  void writeSatellitesInView(const Binr2SatsInView&) override { calls.emplace_back("writeSatellitesInView:binr2"); }
  void writeVersion(const BinrVersion&) override { calls.emplace_back("writeVersion:binr"); }
  void writeVersion(const Binr2DeviceId&) override { calls.emplace_back("writeVersion:binr2"); }

  // SyncSink
  void receiverHeard() override {
    if (transport) syncBaudIndexWhenHeard = transport->syncBaudIndex;
    calls.emplace_back("receiverHeard");
  }
  void receiverStatusReported() override { calls.emplace_back("receiverStatusReported"); }
  void rateAcknowledged() override { calls.emplace_back("rateAcknowledged"); }
  void receiverIdentified(const char* recordExtension, bool connected) override {
    calls.push_back(std::string("receiverIdentified:") + (recordExtension ? recordExtension : "null") + ":" +
                    (connected ? "1" : "0"));
  }
};

struct FanOut : ::testing::Test {
  std::unique_ptr<Receiver> rx = std::make_unique<Receiver>();
  TransportFields transport;
  RecordingSinks sinks;
  MessageFanOut fanOut{*rx, transport, sinks, sinks, sinks};

  FanOut() {
    sinks.transport = &transport;
    transport.transportState = TransportState::PLAY;
  }
  void nmea(const std::string& text) { fanOut.handleNmea(reinterpret_cast<const uint8_t*>(text.data()), text.size()); }
  void binr(const Bytes& bytes) { fanOut.handleBinr(bytes.data(), bytes.size()); }
  void binr2(const Bytes& bytes) { fanOut.handleBinr2(bytes.data(), bytes.size()); }
  size_t count(const std::string& name) const { return std::count(sinks.calls.begin(), sinks.calls.end(), name); }
};

const std::string kGga = test::nmeaSentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
const std::string kRmc = test::nmeaSentence("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
const std::string kGns = test::nmeaSentence("GNGNS,123519,4807.038,N,01131.000,E,AA,08,0.9,545.4,46.9,,");
const std::string kGsa = test::nmeaSentence("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1");

Bytes navPayload(uint8_t status) {
  Bytes p(69, 0);
  p[68] = status;
  return p;
}

TEST_F(FanOut, PositionSourceAutoPrefersGnsThenGgaThenRmc) {
  nmea(kRmc);
  EXPECT_EQ(count("showSolution"), 1u);  // RMC drives while nothing better has come
  EXPECT_EQ(sinks.shownFix.sentence, NmeaKind::RMC);
  nmea(kGga);
  nmea(kRmc);
  EXPECT_EQ(count("showSolution"), 2u);  // GGA only
  EXPECT_EQ(sinks.shownFix.sentence, NmeaKind::GGA);
  nmea(kGns);
  nmea(kGga);
  nmea(kRmc);
  EXPECT_EQ(count("showSolution"), 3u);  // GNS only from now on
  EXPECT_EQ(sinks.shownFix.sentence, NmeaKind::GNS);
  rx->resetDecoders();
  nmea(kGga);
  EXPECT_EQ(count("showSolution"), 4u);  // counters start over
  EXPECT_EQ(sinks.shownFix.sentence, NmeaKind::GGA);
  EXPECT_EQ(sinks.shownFix.protocol, ReceiverProtocol::NMEA);
}

TEST_F(FanOut, PositionSourceChosenByMenu) {
  struct Case {
    int32_t source;
    size_t gga, rmc, gns;
  } cases[] = {{2, 1, 0, 0}, {3, 0, 1, 0}, {10, 0, 0, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    rx = std::make_unique<Receiver>();
    MessageFanOut f(*rx, transport, sinks, sinks, sinks);
    rx->nmea.positionSource = c.source;
    sinks.calls.clear();
    for (const auto* s : {&kGga, &kRmc, &kGns}) {
      const size_t before = count("showSolution");
      f.handleNmea(reinterpret_cast<const uint8_t*>(s->data()), s->size());
      const size_t expected = s == &kGga ? c.gga : s == &kRmc ? c.rmc : c.gns;
      EXPECT_EQ(count("showSolution") - before, expected);
    }
  }
}

TEST_F(FanOut, SatellitesUsedComeFromGgaOrGnsNeverFromRmc) {
  const struct {
    std::string sentence;
    bool has;
    int32_t used;
  } cases[] = {{kGga, true, 8},
               {kGns, true, 8},
               {kRmc, false, 0},
               {test::nmeaSentence("GPGGA,123519,4807.038,N,01131.000,E,1,11,0.9,545.4,M,46.9,M,,"), true, 11},
               {test::nmeaSentence("GPGGA,123519,4807.038,N,01131.000,E,1,,0.9,545.4,M,46.9,M,,"), false, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sentence);
    rx->resetDecoders();
    sinks.calls.clear();
    nmea(c.sentence);
    ASSERT_EQ(count("showSolution"), 1u);
    EXPECT_EQ(sinks.shownFix.hasSatsUsed, c.has);
    EXPECT_EQ(sinks.shownFix.satsUsed, c.used);
  }
}

TEST_F(FanOut, NmeaPositionEndsTheGsaGroupThenShowsTheSolutionWithoutConversion) {
  nmea(kGga);
  EXPECT_EQ(sinks.calls, (Calls{"endGsaGroup", "showSolution"}));
  EXPECT_EQ(sinks.shownFix.protocol, ReceiverProtocol::NMEA);
  EXPECT_EQ(sinks.shownFix.sentence, NmeaKind::GGA);
  EXPECT_TRUE(sinks.shownFix.valid);
}

TEST_F(FanOut, NmeaRoutesAndGsaGrouping) {
  nmea(kGsa);
  nmea(test::nmeaSentence("GLGSV,1,1,01,65,10,100,30"));
  nmea(test::nmeaSentence("GPBSS,1,2,3,4,5"));
  nmea(test::nmeaSentence("PORZD,A,1.5"));
  EXPECT_EQ(sinks.calls, (Calls{"showGsa:GPGSA", "endGsaGroup", "showSatellitesInView:GLGSV+glonass", "endGsaGroup",
                                "showBss:GPBSS", "endGsaGroup"}));
}

TEST_F(FanOut, NmeaVersionOutsideSyncShowsTheDeviceOnly) {
  nmea(test::nmeaSentence("PORZVER,1,ABCDE,0102,XY"));
  EXPECT_EQ(sinks.calls, (Calls{"endGsaGroup", "showDevice:ABCDE 01.02"}));
}

TEST_F(FanOut, NmeaErrorsAreCountedOutsideSyncOnlyAndDoNotFeedTheWatchdog) {
  transport.noDataTicks = 2;
  std::string bad = kGga;
  bad[bad.size() - 3] ^= 1;  // wrong checksum digit
  nmea(bad);
  EXPECT_EQ(transport.errorCount, 1);
  EXPECT_EQ(sinks.calls, Calls{"showErrorCount:1"});
  EXPECT_EQ(transport.noDataTicks, 2);
  nmea(test::nmeaSentence("GPXYZ,1"));  // Other still counts as data
  EXPECT_EQ(transport.noDataTicks, 0);

  transport.transportState = TransportState::SYNC;
  sinks.calls.clear();
  nmea(bad);
  EXPECT_EQ(transport.errorCount, 1);
  EXPECT_TRUE(sinks.calls.empty());
}

TEST_F(FanOut, NmeaSyncReportsTheFirstAnswerOnceAndTheVersion) {
  transport.transportState = TransportState::SYNC;
  transport.syncBaudIndex = 3;
  nmea(test::nmeaSentence("GPXYZ,1"));  // Other is no answer
  EXPECT_TRUE(sinks.calls.empty());
  nmea(kGga);
  nmea(kRmc);
  EXPECT_EQ(sinks.calls, Calls{"receiverHeard"});
  // The synchronisation still sees the search step that was answered.
  EXPECT_EQ(sinks.syncBaudIndexWhenHeard, 3);
  EXPECT_EQ(transport.syncBaudIndex, kReceiverFound);
  nmea(test::nmeaSentence("PORZVER,1,ABCDE,0102,XY"));
  // The device is shown before the synchronisation names the file after it.
  EXPECT_EQ(sinks.calls, (Calls{"receiverHeard", "showDevice:ABCDE 01.02", "receiverIdentified:.nme:0"}));
}

TEST_F(FanOut, NmeaSyncVersionKeepsAChosenFileName) {
  transport.transportState = TransportState::SYNC;
  transport.syncBaudIndex = kReceiverFound;
  transport.fileNameFixed = true;
  nmea(test::nmeaSentence("PORZVER,1,ABCDE,0102,XY"));
  EXPECT_EQ(sinks.calls, (Calls{"showDevice:ABCDE 01.02", "receiverIdentified:null:0"}));
}

TEST(NmeaVersionText, FieldCountsAndShortFields) {
  struct Case {
    const char* sentence;
    const char* text;
  } cases[] = {
      {"PORZVER,1,ABCDE,0102,XY", "ABCDE 01.02"},
      {"GPVER,1,ABCDE,0102,MOD,0304", "ABCDE 01.02  MOD 03.04"},
      {"PORZVER,1,ABCDE,01", "ABCDE 01."},
      {"PORZVER,1,ABCDE,0", "ABCDE 0"},
      {"PORZVER,1,ABCDE,0102,MOD,030", "ABCDE 01.02  MOD 03.0"},
  };
  for (const auto& c : cases) {
    NmeaAssembler nmea;
    NmeaKind kind = NmeaKind::None;
    for (char ch : test::nmeaSentence(c.sentence)) kind = nmea.pushNmeaChar(uint8_t(ch));
    ASSERT_EQ(kind, NmeaKind::VER) << c.sentence;
    EXPECT_EQ(nmeaVersionText(nmea.stored(NmeaKind::VER)), c.text) << c.sentence;
  }
}

TEST(RecordFileName, DeviceAndPortParts) {
  struct Case {
    const char* device;
    const char* port;
    const char* extension;
    const char* name;
  };
  const Case cases[] = {
      {"ABCDE 01.02", "ttyS3", ".dat", "ABCDE_cS3.dat"},
      {"ABCDE 01.02", "ttyUSB10", ".b2", "ABCDE_cUSB10.b2"},
      {"NOBLANK", "ttyS3", ".dat", "_cS3.dat"},
      {"ABCDE 01.02", "", ".nme", "ABCDE_c.nme"},
      {"ABCDE 01.02", "/dev/ttyUSB0", ".nme", "ABCDE_cUSB0.nme"},
      {"ABCDE 01.02", "/dev/pts/3", ".nme", "ABCDE_cpts3.nme"},
      {"ABCDE 01.02", "pts/12", ".dat", "ABCDE_cpts12.dat"},
      {"ABCDE 01.02", "/7", ".dat", "ABCDE_c7.dat"},
      {"ABCDE 01.02", "/dev/serial/by-id/usb-FTDI_A1-if00-port0", ".b2", "ABCDE_cusb-FTDI_A1-if00-port0.b2"},
      {"ABCDE 01.02", "/tmp/gps/ttyrecv", ".nme", "ABCDE_crecv.nme"},
      // A TCP source: its host and port, with no "." before the extension and no "/".
      {"ABCDE 01.02", "tcp://192.168.1.20:4001", ".nme", "ABCDE_c192-168-1-20-4001.nme"},
      {"ABCDE 01.02", "TCP://gps.example.org:2101", ".dat", "ABCDE_cgps-example-org-2101.dat"},
      {"ABCDE 01.02", "tcp://[::1]:4001", ".b2", "ABCDE_c--1-4001.b2"},
      {"ABCDE 01.02", "tcp://ttyserver:23", ".nme", "ABCDE_cttyserver-23.nme"},
  };
  for (const Case& c : cases) EXPECT_EQ(recordFileName(c.device, c.port, c.extension), c.name) << c.port;
}

TEST_F(FanOut, BinrNavigationIsShownWithItsSatellitesThenWritten) {
  binr(test::binrFrame(0x88, navPayload(0x01)));
  EXPECT_EQ(sinks.calls, (Calls{"showSolution+satellites", "writeSolution"}));
  EXPECT_EQ(sinks.shownFix.protocol, ReceiverProtocol::BINR);
  EXPECT_TRUE(sinks.shownFix.valid);
  EXPECT_EQ(sinks.writtenFix.protocol, ReceiverProtocol::BINR);
  EXPECT_TRUE(sinks.writtenFix.valid);
  binr(test::binrFrame(0x90, navPayload(0x00)));
  EXPECT_EQ(sinks.calls,
            (Calls{"showSolution+satellites", "writeSolution", "showSolution+satellites", "writeSolution"}));
  EXPECT_FALSE(sinks.shownFix.valid);
  EXPECT_FALSE(sinks.writtenFix.valid);
}

TEST_F(FanOut, BinrInSyncUpdatesNothingButCountsErrors) {
  transport.transportState = TransportState::SYNC;
  binr(test::binrFrame(0x88, navPayload(0x01)));
  binr(test::binrFrame(0x52, Bytes(7, 1)));
  EXPECT_TRUE(sinks.calls.empty());
  binr(test::binrFrame(0x88, Bytes(68, 0)));  // wrong length
  EXPECT_EQ(transport.errorCount, 1);
  binr(test::binrFrame(0x02, {}));
  EXPECT_EQ(sinks.calls, (Calls{"showErrorCount:1", "receiverStatusReported"}));
}

TEST_F(FanOut, BinrStatusOutsideSyncIsNoAnswer) {
  binr(test::binrFrame(0x02, {}));
  EXPECT_TRUE(sinks.calls.empty());
}

TEST_F(FanOut, BinaryBytesFeedTheWatchdogEvenWithoutAMessage) {
  for (const auto& [protocol, block, ticks] :
       {std::tuple{"BINR", Bytes{0x55}, 0}, {"BINR", Bytes{}, 2}, {"BINR2", Bytes{0x55}, 0}, {"BINR2", Bytes{}, 2}}) {
    SCOPED_TRACE(protocol);
    transport.noDataTicks = 2;
    if (protocol == std::string("BINR"))
      binr(block);
    else
      binr2(block);
    EXPECT_EQ(transport.noDataTicks, ticks);
  }
}

TEST_F(FanOut, BinrRateAcceptedAndVersionDuringSync) {
  transport.transportState = TransportState::SYNC;
  binr(test::binrFrame(0x50, {}));
  EXPECT_EQ(transport.syncBaudIndex, kReceiverFound);
  EXPECT_EQ(sinks.calls, Calls{"rateAcknowledged"});
  Bytes version(76, 0);
  const char text[] = "ABCDE 01.02";
  test::put(version, 1, text, sizeof text - 1);
  binr(test::binrFrame(0x70, version));
  // The device is shown before the synchronisation names the file after it and
  // ends the search; no $ALVER is written.
  EXPECT_EQ(sinks.calls, (Calls{"rateAcknowledged", "showDevice:ABCDE 01.02", "receiverIdentified:.dat:1"}));
}

TEST_F(FanOut, BinrRateAcknowledgedInAnyState) {
  binr(test::binrFrame(0x50, {}));
  EXPECT_EQ(sinks.calls, Calls{"rateAcknowledged"});
  EXPECT_EQ(transport.syncBaudIndex, kReceiverFound);
}

TEST_F(FanOut, BinrVersionDuringSyncKeepsAChosenFileName) {
  transport.transportState = TransportState::SYNC;
  transport.recordAfterSync = true;
  transport.fileNameFixed = true;
  binr(test::binrFrame(0x70, Bytes(76, 0)));
  EXPECT_EQ(sinks.calls, (Calls{"showDevice:", "receiverIdentified:null:1"}));
  // Stopping and recording again are the synchronisation's.
  EXPECT_EQ(transport.transportState, TransportState::SYNC);
}

TEST_F(FanOut, BinrVersionOutsideSyncWritesAlver) {
  binr(test::binrFrame(0x70, Bytes(76, 0)));
  EXPECT_EQ(sinks.calls, (Calls{"showDevice:", "writeVersion:binr"}));
  binr(test::binrFrame(0x52, Bytes(14, 1)));
  EXPECT_EQ(sinks.calls, (Calls{"showDevice:", "writeVersion:binr", "showSatellitesInView:binr",
                                "writeSatellitesInView:binr"}));
}

TEST_F(FanOut, Binr2Routes) {
  binr2(test::binr2Frame(0x90, Bytes(58, 0)));
  EXPECT_EQ(sinks.shownFix.protocol, ReceiverProtocol::BINR2);
  EXPECT_EQ(sinks.writtenFix.protocol, ReceiverProtocol::BINR2);
  binr2(test::binr2Frame(0xA0, Bytes(9, 0)));
  EXPECT_EQ(sinks.calls, (Calls{"showSolution+satellites", "writeSolution", "showSatellitesInView:binr2",
                                "writeSatellitesInView:binr2"}));
  binr2(test::binr2Frame(0x80, {2, 0}));  // an acknowledgement outside SYNC does nothing
  EXPECT_EQ(transport.syncBaudIndex, 0);
  EXPECT_EQ(sinks.calls.size(), 4u);
}

TEST_F(FanOut, Binr2InSyncShowsNoSolutionAndWritesNothing) {
  transport.transportState = TransportState::SYNC;
  binr2(test::binr2Frame(0x90, Bytes(58, 0)));
  binr2(test::binr2Frame(0xA0, Bytes(9, 0)));
  EXPECT_TRUE(sinks.calls.empty());
}

TEST_F(FanOut, Binr2SyncAckAndIdentificationRenameEvenAFixedFile) {
  transport.transportState = TransportState::SYNC;
  binr2(test::binr2Frame(0x80, {1, 0}));
  EXPECT_EQ(transport.syncBaudIndex, 0);
  EXPECT_TRUE(sinks.calls.empty());
  binr2(test::binr2Frame(0x80, {2, 0}));
  EXPECT_EQ(transport.syncBaudIndex, kReceiverFound);
  EXPECT_EQ(sinks.calls, Calls{"rateAcknowledged"});
  transport.fileNameFixed = true;
  Bytes id(64, 0);
  test::put(id, 1, "DEV01", 5);
  test::put(id, 7, "03", 2);
  test::put(id, 10, "07", 2);
  test::put(id, 13, "X", 1);
  binr2(test::binr2Frame(0xC0, id));
  EXPECT_EQ(sinks.calls, (Calls{"rateAcknowledged", "showDevice:DEV01 03.07 X", "receiverIdentified:.b2:1"}));
}

TEST_F(FanOut, Binr2IdentificationOutsideSyncWritesAlver) {
  binr2(test::binr2Frame(0xC0, Bytes(64, 0)));
  ASSERT_EQ(sinks.calls.size(), 2u);
  EXPECT_EQ(sinks.calls[1], "writeVersion:binr2");
}

TEST_F(FanOut, WithoutSynchronisationTheSearchAnswersGoNowhereUntilOneIsAttached) {
  MessageFanOut f(*rx, transport, sinks, sinks);
  transport.transportState = TransportState::SYNC;
  const Bytes rate = test::binrFrame(0x50, {});
  f.handleBinr(rate.data(), rate.size());
  EXPECT_TRUE(sinks.calls.empty());
  EXPECT_EQ(transport.syncBaudIndex, kReceiverFound);
  f.attachSynchronisation(sinks);
  f.handleBinr(rate.data(), rate.size());
  EXPECT_EQ(sinks.calls, Calls{"rateAcknowledged"});
}

TEST_F(FanOut, CountedErrorsAreShown) {
  fanOut.countError();
  fanOut.countError();
  EXPECT_EQ(transport.errorCount, 2);
  EXPECT_EQ(sinks.calls, (Calls{"showErrorCount:1", "showErrorCount:2"}));
}

// A recording fed in blocks of any size makes the same calls, in the same order,
// as fed a byte at a time, searching for the receiver or playing: each run ends
// where a sentence or frame does, and it is routed before the next run.
TEST(FanOutBlocks, AnySplitMakesTheSameCallsAsByteByByte) {
  const std::filesystem::path samples = std::filesystem::path(VELTRANO_SOURCE_DIR) / "samples";
  const std::vector<std::vector<size_t>> splits = {{2, 3, 5}, {7, 64, 1}, {2048}, {size_t(-1)}};
  for (const auto& [protocol, file] : {std::tuple{ReceiverProtocol::NMEA, "nmea-static.nme"},
                                       {ReceiverProtocol::BINR, "binr-static.dat"},
                                       {ReceiverProtocol::BINR2, "binr2-static.b2"}}) {
    std::ifstream in(samples / file, std::ios::binary);
    Bytes stream(std::istreambuf_iterator<char>(in), {});
    ASSERT_GT(stream.size(), 1000u) << file;
    // Every 97th byte damaged, so that rejections are routed too.
    for (size_t i = 50; i < stream.size(); i += 97) stream[i] ^= 0x21;
    for (TransportState state : {TransportState::SYNC, TransportState::FF}) {
      const auto play = [&](const std::vector<size_t>& pieces) {
        auto rx = std::make_unique<Receiver>();
        TransportFields transport;
        transport.transportState = state;
        RecordingSinks sinks;
        MessageFanOut fanOut(*rx, transport, sinks, sinks, sinks);
        for (size_t at = 0, next = 0; at < stream.size(); ++next) {
          const size_t n = std::min(pieces[next % pieces.size()], stream.size() - at);
          if (protocol == ReceiverProtocol::NMEA) fanOut.handleNmea(stream.data() + at, n);
          if (protocol == ReceiverProtocol::BINR) fanOut.handleBinr(stream.data() + at, n);
          if (protocol == ReceiverProtocol::BINR2) fanOut.handleBinr2(stream.data() + at, n);
          at += n;
        }
        sinks.calls.push_back("errors:" + std::to_string(transport.errorCount));
        return sinks.calls;
      };
      const Calls byteByByte = play({1});
      if (state == TransportState::FF) {
        EXPECT_GT(byteByByte.size(), 100u) << file;
      }
      for (const auto& pieces : splits) EXPECT_EQ(play(pieces), byteByByte) << file << " split " << pieces[0];
    }
  }
}

}  // namespace
}  // namespace veltrano
