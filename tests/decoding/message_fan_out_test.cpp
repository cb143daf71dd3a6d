#include "decoding/message_fan_out.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "test_frames.h"

namespace veltrano {
namespace {

using test::Bytes;

struct RecordingTarget : FanOutTarget {
  std::vector<std::string> calls;
  bool position = true, statistic = true, satellites = true, visual = true, snr = false, visualSat = false;
  std::string device = "unknown", file, info, errors, port = "COM3   - Serial0";
  std::optional<int32_t> baud = 115200;
  std::vector<std::string> nmeaCommands;

  void call(const char* name) { calls.emplace_back(name); }
  bool positionChecked() const override { return position; }
  bool statisticChecked() const override { return statistic; }
  bool satellitesChecked() const override { return satellites; }
  bool visualChecked() const override { return visual; }
  bool snrChecked() const override { return snr; }
  bool visualSatChecked() const override { return visualSat; }
  void showBinrPosition() override { call("showBinrPosition"); }
  void showBinr2Position() override { call("showBinr2Position"); }
  void showNmeaPosition() override { call("showNmeaPosition"); }
  void showBssDiffAge() override { call("showBssDiffAge"); }
  void updateBinrStatistic() override { call("updateBinrStatistic"); }
  void updateBinr2Statistic() override { call("updateBinr2Statistic"); }
  void updateNmeaStatistic() override { call("updateNmeaStatistic"); }
  void showBinrSatellites() override { call("showBinrSatellites"); }
  void showBinr2Satellites() override { call("showBinr2Satellites"); }
  void showGsaSatellites() override { call("showGsaSatellites"); }
  void showBssStatus() override { call("showBssStatus"); }
  void startNewGsaGroup() override { call("newGsaGroup"); }
  void visualRedraw() override { call("visualRedraw"); }
  void fillSatellitesFromNmea(const NmeaFieldTable& s) override {
    calls.push_back("fillSatellitesFromNmea:" + std::string(s.text(0)));
  }
  void fillSatellitesFromBinr() override { call("fillSatellitesFromBinr"); }
  void fillSatellitesFromBinr2() override { call("fillSatellitesFromBinr2"); }
  void writeGgaBinr() override { call("writeGgaBinr"); }
  void writeRmcBinr() override { call("writeRmcBinr"); }
  void writeGsaBinr() override { call("writeGsaBinr"); }
  void writePorzdBinr() override { call("writePorzdBinr"); }
  void writeGsvBinr() override { call("writeGsvBinr"); }
  void writeAlverBinr() override { call("writeAlverBinr"); }
  void writeGgaBinr2() override { call("writeGgaBinr2"); }
  void writeRmcBinr2() override { call("writeRmcBinr2"); }
  void writeGsaBinr2() override { call("writeGsaBinr2"); }
  void writePorzdBinr2() override { call("writePorzdBinr2"); }
  void writeGsvBinr2() override { call("writeGsvBinr2"); }
  void writeAlverBinr2() override { call("writeAlverBinr2"); }
  void writeNmeaCommand(std::string_view text) override { nmeaCommands.emplace_back(text); }
  void writeBinrCommand(uint8_t id, const uint8_t* data, int n) override {
    std::string c = "binrCommand:" + std::to_string(id);
    for (int i = 0; i < n; ++i) c += "," + std::to_string(data[i]);
    calls.push_back(c);
  }
  void setPortBaud(int32_t b) override { calls.push_back("setPortBaud:" + std::to_string(b)); }
  std::string deviceLabel() const override { return device; }
  void setDeviceLabel(const std::string& text) override { device = text; }
  void setFileLabel(const std::string& text) override { file = text; }
  void setInfoLabel(const std::string& text) override { info = text; }
  void showErrorCount(const std::string& text) override { errors = text; }
  std::string portComboText() const override { return port; }
  std::optional<int32_t> selectedBaud() const override { return baud; }
  void selectBaudItem(int32_t b) override { calls.push_back("selectBaud:" + std::to_string(b)); }
  void stopSynchroTimer() override { call("stopSynchroTimer"); }
  void stopTransport() override {
    call("stop");
    transport->transportState = TransportState::STOP;
  }
  void startRecording() override {
    call("record");
    transport->transportState = TransportState::REC;
  }
  void sleepMs(int ms) override { calls.push_back("sleep:" + std::to_string(ms)); }

  TransportFields* transport = nullptr;
};

struct FanOut : ::testing::Test {
  std::unique_ptr<Receiver> rx = std::make_unique<Receiver>();
  TransportFields transport;
  RecordingTarget target;
  MessageFanOut fanOut{*rx, transport, target};

  FanOut() {
    target.transport = &transport;
    transport.transportState = TransportState::PLAY;
  }
  void nmea(const std::string& text) {
    for (char c : text) fanOut.handleNmeaByte(uint8_t(c));
  }
  void binr(const Bytes& bytes) {
    for (uint8_t b : bytes) fanOut.handleBinrByte(b);
  }
  void binr2(const Bytes& bytes) {
    for (uint8_t b : bytes) fanOut.handleBinr2Byte(b);
  }
  size_t count(const std::string& name) const { return std::count(target.calls.begin(), target.calls.end(), name); }
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
  EXPECT_EQ(count("showNmeaPosition"), 1u);  // RMC drives while nothing better has come
  nmea(kGga);
  nmea(kRmc);
  EXPECT_EQ(count("showNmeaPosition"), 2u);  // GGA only
  nmea(kGns);
  nmea(kGga);
  nmea(kRmc);
  EXPECT_EQ(count("showNmeaPosition"), 3u);  // GNS only from now on
  rx->resetDecoders();
  nmea(kGga);
  EXPECT_EQ(count("showNmeaPosition"), 4u);  // counters start over
}

TEST_F(FanOut, PositionSourceChosenByMenu) {
  struct Case {
    int32_t source;
    size_t gga, rmc, gns;
  } cases[] = {{2, 1, 0, 0}, {3, 0, 1, 0}, {10, 0, 0, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.source);
    rx = std::make_unique<Receiver>();
    MessageFanOut f(*rx, transport, target);
    rx->nmea.positionSource = c.source;
    target.calls.clear();
    for (const auto* s : {&kGga, &kRmc, &kGns}) {
      const size_t before = count("showNmeaPosition");
      for (char ch : *s) f.handleNmeaByte(uint8_t(ch));
      const size_t expected = s == &kGga ? c.gga : s == &kRmc ? c.rmc : c.gns;
      EXPECT_EQ(count("showNmeaPosition") - before, expected);
    }
  }
}

TEST_F(FanOut, NmeaTrioFollowsTheCheckBoxes) {
  target.position = false;
  target.visual = false;
  nmea(kGga);
  EXPECT_EQ(target.calls, (std::vector<std::string>{"newGsaGroup", "updateNmeaStatistic"}));
}

TEST_F(FanOut, NmeaRoutesAndGsaGrouping) {
  target.visualSat = true;
  nmea(kGsa);
  nmea(test::nmeaSentence("GLGSV,1,1,01,65,10,100,30"));
  nmea(test::nmeaSentence("GPBSS,1,2,3,4,5"));
  nmea(test::nmeaSentence("PORZD,A,1.5"));
  EXPECT_EQ(target.calls, (std::vector<std::string>{"showGsaSatellites", "newGsaGroup", "fillSatellitesFromNmea:GLGSV",
                                                    "newGsaGroup", "showBssDiffAge", "showBssStatus",
                                                    "newGsaGroup"}));
}

TEST_F(FanOut, NmeaErrorsAreCountedOutsideSyncOnlyAndDoNotFeedTheWatchdog) {
  transport.noDataTicks = 2;
  std::string bad = kGga;
  bad[bad.size() - 3] ^= 1;  // wrong checksum digit
  nmea(bad);
  EXPECT_EQ(transport.errorCount, 1);
  EXPECT_EQ(target.errors, "1");
  EXPECT_EQ(transport.noDataTicks, 2);
  nmea(test::nmeaSentence("GPXYZ,1"));  // Other still counts as data
  EXPECT_EQ(transport.noDataTicks, 0);

  transport.transportState = TransportState::SYNC;
  nmea(bad);
  EXPECT_EQ(transport.errorCount, 1);
}

TEST_F(FanOut, NmeaSyncAsksForTheVersionOnceAndNamesTheFile) {
  transport.transportState = TransportState::SYNC;
  transport.syncBaudIndex = 3;
  nmea(test::nmeaSentence("GPXYZ,1"));  // Other is no answer
  EXPECT_TRUE(target.nmeaCommands.empty());
  nmea(kGga);
  nmea(kRmc);
  EXPECT_EQ(target.nmeaCommands, std::vector<std::string>{"$POVER"});
  EXPECT_EQ(count("selectBaud:4800"), 1u);  // step 3 of the NMEA table
  EXPECT_EQ(transport.syncBaudIndex, 10);
  EXPECT_EQ(count("showNmeaPosition"), 0u);
  nmea(test::nmeaSentence("PORZVER,1,ABCDE,0102,XY"));
  EXPECT_EQ(target.device, "ABCDE 01.02");
  EXPECT_EQ(target.file, "ABCDE_c3.nme");
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
  EXPECT_EQ(recordFileName("ABCDE 01.02", "COM3   - Serial0", ".dat"), "ABCDE_c3.dat");
  EXPECT_EQ(recordFileName("ABCDE 01.02", "COM10 - Serial9", ".b2"), "ABCDE_c10.b2");
  EXPECT_EQ(recordFileName("NOBLANK", "COM3   - Serial0", ".dat"), "_c3.dat");
  EXPECT_EQ(recordFileName("ABCDE 01.02", "NONE", ".nme"), "ABCDE_c.nme");
}

TEST_F(FanOut, BinrNavigationRoutesAndWriters) {
  binr(test::binrFrame(0x88, navPayload(0x01)));
  EXPECT_EQ(target.calls,
            (std::vector<std::string>{"showBinrPosition", "updateBinrStatistic", "showBinrSatellites", "visualRedraw",
                                      "writeGgaBinr", "writeRmcBinr", "writeGsaBinr", "writePorzdBinr"}));
}

TEST_F(FanOut, BinrInSyncUpdatesNothingButCountsErrors) {
  transport.transportState = TransportState::SYNC;
  binr(test::binrFrame(0x88, navPayload(0x01)));
  binr(test::binrFrame(0x52, Bytes(7, 1)));
  EXPECT_TRUE(target.calls.empty());
  binr(test::binrFrame(0x88, Bytes(68, 0)));  // wrong length
  EXPECT_EQ(transport.errorCount, 1);
  binr(test::binrFrame(0x02, {}));
  EXPECT_EQ(target.calls, std::vector<std::string>{"binrCommand:12,0"});
}

TEST_F(FanOut, BinrEveryByteFeedsTheWatchdog) {
  transport.noDataTicks = 2;
  fanOut.handleBinrByte(0x55);
  EXPECT_EQ(transport.noDataTicks, 0);
}

TEST_F(FanOut, BinrRateAcceptedAndVersionDuringSync) {
  transport.transportState = TransportState::SYNC;
  binr(test::binrFrame(0x50, {}));
  EXPECT_EQ(transport.syncBaudIndex, 10);
  EXPECT_EQ(count("setPortBaud:115200"), 1u);
  Bytes version(76, 0);
  const char text[] = "ABCDE 01.02";
  test::put(version, 1, text, sizeof text - 1);
  binr(test::binrFrame(0x70, version));
  EXPECT_EQ(target.device, "ABCDE 01.02");
  EXPECT_EQ(target.file, "ABCDE_c3.dat");
  EXPECT_EQ(target.info, "Connection Ok");
  EXPECT_EQ(count("stopSynchroTimer"), 1u);
  EXPECT_EQ(transport.transportState, TransportState::STOP);
  EXPECT_EQ(count("record"), 0u);
}

TEST_F(FanOut, SyncSuccessResumesRecordingAfterTheWait) {
  transport.transportState = TransportState::SYNC;
  transport.recordAfterSync = true;
  transport.fileNameFixed = true;
  target.file = "chosen.dat";
  binr(test::binrFrame(0x70, Bytes(76, 0)));
  EXPECT_EQ(target.file, "chosen.dat");  // a chosen playback name stays
  const std::vector<std::string> tail(target.calls.end() - 3, target.calls.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"stop", "sleep:500", "record"}));
  EXPECT_EQ(transport.transportState, TransportState::REC);
}

TEST_F(FanOut, BinrVersionOutsideSyncWritesAlver) {
  binr(test::binrFrame(0x70, Bytes(76, 0)));
  EXPECT_EQ(target.calls, std::vector<std::string>{"writeAlverBinr"});
  binr(test::binrFrame(0x52, Bytes(14, 1)));
  EXPECT_EQ(target.calls.back(), "writeGsvBinr");
}

TEST_F(FanOut, Binr2Routes) {
  target.snr = true;
  binr2(test::binr2Frame(0x90, Bytes(58, 0)));
  binr2(test::binr2Frame(0xA0, Bytes(9, 0)));
  EXPECT_EQ(target.calls, (std::vector<std::string>{"showBinr2Position", "updateBinr2Statistic", "showBinr2Satellites",
                                                    "visualRedraw", "writeGgaBinr2", "writeRmcBinr2", "writeGsaBinr2",
                                                    "writePorzdBinr2", "fillSatellitesFromBinr2", "writeGsvBinr2"}));
  binr2(test::binr2Frame(0x80, {2, 0}));  // an acknowledgement outside SYNC does nothing
  EXPECT_EQ(transport.syncBaudIndex, 0);
}

TEST_F(FanOut, Binr2SyncAckAndIdentificationRenameEvenAFixedFile) {
  transport.transportState = TransportState::SYNC;
  binr2(test::binr2Frame(0x80, {1, 0}));
  EXPECT_EQ(transport.syncBaudIndex, 0);
  binr2(test::binr2Frame(0x80, {2, 0}));
  EXPECT_EQ(transport.syncBaudIndex, 10);
  transport.fileNameFixed = true;
  Bytes id(64, 0);
  test::put(id, 1, "DEV01", 5);
  test::put(id, 7, "03", 2);
  test::put(id, 10, "07", 2);
  test::put(id, 13, "X", 1);
  binr2(test::binr2Frame(0xC0, id));
  EXPECT_EQ(target.device, "DEV01 03.07 X");
  EXPECT_EQ(target.file, "DEV01_c3.b2");
  EXPECT_EQ(target.info, "Connection Ok");
  EXPECT_EQ(transport.transportState, TransportState::STOP);
}

}  // namespace
}  // namespace veltrano
