#include "decoding/stream_intake.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "test_frames.h"

namespace veltrano {
namespace {

using test::Bytes;
using Calls = std::vector<std::string>;

// What the fan-out decoded from the intake's bytes, in order.
struct DecodedSinks : NoConversion, DisplaySink, SyncSink {
  Calls calls;
  std::function<void()> onIdentified;

  void showSolution(const Fix& fix, const SolutionSatellites*) override {
    calls.push_back(fix.protocol == ReceiverProtocol::NMEA ? "nmeaSolution" : "binarySolution");
  }
  void showGsa(const NmeaFieldTable&) override { calls.emplace_back("showGsa"); }
  void endGsaGroup() override {}
  void showBss(const NmeaFieldTable&) override { calls.emplace_back("showBss"); }
  void showDevice(std::string_view text) override { calls.push_back("showDevice:" + std::string(text)); }
  void showErrorCount(int32_t count) override { calls.push_back("showErrorCount:" + std::to_string(count)); }
  void showSatellitesInView(NmeaKind, const NmeaFieldTable&, bool) override {}
  void showSatellitesInView(const BinrSatsInView&) override {}
  void showSatellitesInView(const Binr2SatsInView&) override {}

  void receiverHeard() override { calls.emplace_back("receiverHeard"); }
  void receiverStatusReported() override { calls.emplace_back("receiverStatusReported"); }
  void rateAcknowledged() override { calls.emplace_back("rateAcknowledged"); }
  void receiverIdentified(const char*, bool) override {
    calls.emplace_back("receiverIdentified");
    if (onIdentified) onIdentified();
  }
};

struct FakeIntakeSink : IntakeSink {
  std::vector<int32_t> recorded;
  std::vector<std::string> receivedLabels;
  int repaints = 0;

  void blockRecorded(int32_t length) override { recorded.push_back(length); }
  void showReceivedTotal(int64_t total) override { receivedLabels.push_back(formatReceivedTotal(total)); }
  void repaintWindows() override { ++repaints; }
};

// One block per protocol that the fan-out turns into one visible call.
const std::string kGga = test::nmeaSentence("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");

Bytes nmeaBlock() { return Bytes(kGga.begin(), kGga.end()); }

Bytes binrVersionBlock() {
  Bytes version(76, 0);
  test::put(version, 1, "ABCDE 01.02", 11);
  return test::binrFrame(0x70, version);
}

Bytes binr2DeviceBlock() {
  Bytes id(64, 0);
  test::put(id, 1, "DEV01", 5);
  test::put(id, 7, "03", 2);
  test::put(id, 10, "07", 2);
  test::put(id, 13, "X", 1);
  return test::binr2Frame(0xC0, id);
}

Bytes binrNavigationBlock() {
  Bytes payload(69, 0);
  payload[68] = 0x01;
  return test::binrFrame(0x88, payload);
}

struct Intake : ::testing::Test {
  TransportFields transport;
  std::unique_ptr<Receiver> rx = std::make_unique<Receiver>();
  DecodedSinks decoded;
  MessageFanOut fanOut{*rx, transport, decoded, decoded, decoded};
  FakeIntakeSink sink;
  StreamIntake intake{transport, fanOut, sink};

  Intake() { transport.receiverProtocol = ReceiverProtocol::BINR; }
  void receive(const Bytes& block) { intake.receiveBlock(block.data(), int32_t(block.size())); }
};

TEST_F(Intake, StopDropsTheBlockWhole) {
  transport.transportState = TransportState::STOP;
  transport.noDataTicks = 2;
  receive(binrVersionBlock());
  EXPECT_TRUE(decoded.calls.empty());
  EXPECT_EQ(transport.noDataTicks, 2);  // not a single byte reached the decoder
  EXPECT_EQ(transport.receivedTotal, 0);
  EXPECT_TRUE(sink.recorded.empty());
  EXPECT_TRUE(sink.receivedLabels.empty());
  EXPECT_EQ(sink.repaints, 0);
}

TEST_F(Intake, StatesDecideCountingRecordingAndRepaint) {
  struct Case {
    TransportState state;
    bool counted, recorded;
  } cases[] = {
      {TransportState::SYNC, false, false}, {TransportState::OPEN, false, false}, {TransportState::PAUSE, false, false},
      {TransportState::PLAY, true, false},  {TransportState::FF, true, false},    {TransportState::REC, true, true},
  };
  const Bytes block = binrVersionBlock();
  const int64_t size = int64_t(block.size());
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.state));
    TransportFields t;
    Receiver receiver;
    DecodedSinks d;
    MessageFanOut f(receiver, t, d, d, d);
    FakeIntakeSink s;
    StreamIntake in(t, f, s);
    t.receiverProtocol = ReceiverProtocol::BINR;
    t.transportState = c.state;
    in.receiveBlock(block.data(), int32_t(block.size()));
    // The whole block was decoded in every state but STOP.
    EXPECT_EQ(std::count(d.calls.begin(), d.calls.end(), "showDevice:ABCDE 01.02"), 1);
    EXPECT_EQ(t.receivedTotal, c.counted ? size : 0);
    EXPECT_EQ(s.receivedLabels.size(), c.counted ? 1u : 0u);
    EXPECT_EQ(s.recorded.size(), c.recorded ? 1u : 0u);
    if (c.recorded) {
      EXPECT_EQ(s.recorded[0], int32_t(block.size()));
    }
    EXPECT_EQ(s.repaints, 1);
  }
}

TEST_F(Intake, DispatchesToTheSelectedProtocolInOrder) {
  struct Case {
    ReceiverProtocol protocol;
    Bytes block;
    Calls calls;
  } cases[] = {
      {ReceiverProtocol::NMEA, nmeaBlock(), {"nmeaSolution"}},
      {ReceiverProtocol::BINR, binrVersionBlock(), {"showDevice:ABCDE 01.02"}},
      {ReceiverProtocol::BINR2, binr2DeviceBlock(), {"showDevice:DEV01 03.07 X"}},
  };
  for (const auto& selected : cases) {
    for (const auto& fed : cases) {
      SCOPED_TRACE(int(selected.protocol) * 10 + int(fed.protocol));
      TransportFields t;
      Receiver receiver;
      DecodedSinks d;
      MessageFanOut f(receiver, t, d, d, d);
      FakeIntakeSink s;
      StreamIntake in(t, f, s);
      t.transportState = TransportState::PLAY;
      t.receiverProtocol = selected.protocol;
      in.receiveBlock(fed.block.data(), int32_t(fed.block.size()));
      // Only the decoder of the selected protocol takes the bytes.
      EXPECT_EQ(d.calls, &selected == &fed ? fed.calls : Calls{});
    }
  }
}

TEST_F(Intake, ABlockSplitAnywhereDecodesTheSame) {
  transport.transportState = TransportState::PLAY;
  const Bytes block = binrVersionBlock();
  for (size_t at = 0; at < block.size(); ++at) {
    intake.receiveBlock(block.data(), int32_t(at));
    intake.receiveBlock(block.data() + at, int32_t(block.size() - at));
  }
  EXPECT_EQ(decoded.calls.size(), block.size());
  EXPECT_EQ(std::count(decoded.calls.begin(), decoded.calls.end(), "showDevice:ABCDE 01.02"),
            int64_t(block.size()));
  EXPECT_EQ(transport.receivedTotal, int64_t(block.size() * block.size()));
}

TEST_F(Intake, EmptyBlockInPlayStillRewritesTheLabelAndRepaints) {
  transport.transportState = TransportState::PLAY;
  transport.receivedTotal = 2048;
  const uint8_t block[1] = {0};
  intake.receiveBlock(block, 0);
  EXPECT_EQ(transport.receivedTotal, 2048);
  EXPECT_EQ(sink.receivedLabels, std::vector<std::string>{"2.0 kB"});
  EXPECT_EQ(sink.repaints, 1);
}

TEST_F(Intake, StopInTheMiddleOfABlockStillDecodesTheRestButDoesNotCount) {
  transport.transportState = TransportState::SYNC;
  decoded.onIdentified = [&] { transport.transportState = TransportState::STOP; };
  Bytes block = binrVersionBlock();
  const Bytes navigation = binrNavigationBlock();
  block.insert(block.end(), navigation.begin(), navigation.end());
  receive(block);
  // The solution after the identification was decoded outside SYNC.
  EXPECT_EQ(decoded.calls, (Calls{"showDevice:ABCDE 01.02", "receiverIdentified", "binarySolution"}));
  EXPECT_EQ(transport.receivedTotal, 0);
  EXPECT_TRUE(sink.receivedLabels.empty());
  EXPECT_EQ(sink.repaints, 1);
}

TEST_F(Intake, RecordingStartedByAHandlerTakesTheWholeBlock) {
  transport.transportState = TransportState::SYNC;
  decoded.onIdentified = [&] { transport.transportState = TransportState::REC; };
  Bytes block = binrVersionBlock();
  const Bytes navigation = binrNavigationBlock();
  block.insert(block.end(), navigation.begin(), navigation.end());
  receive(block);
  EXPECT_EQ(transport.receivedTotal, int64_t(block.size()));
  ASSERT_EQ(sink.recorded.size(), 1u);
  EXPECT_EQ(sink.recorded[0], int32_t(block.size()));
  EXPECT_EQ(sink.receivedLabels.size(), 1u);
}

TEST(FormatReceivedTotal, Thresholds) {
  struct Case {
    int64_t total;
    const char* text;
  } cases[] = {
      {0, "0.0 kB"},           {1023, "1.0 kB"},        {1048575, "1024.0 kB"},
      {1048576, "1.0 MB"},     {1073741823, "1024.0 MB"}, {1073741824, "1.0 GB"},
      {5LL << 40, "5120.0 GB"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatReceivedTotal(c.total), c.text) << c.total;
}

TEST_F(Intake, LineErrorsAreCountedAndShown) {
  intake.countLineError();
  intake.countLineError();
  EXPECT_EQ(transport.errorCount, 2);
  EXPECT_EQ(decoded.calls, (Calls{"showErrorCount:1", "showErrorCount:2"}));
}

}  // namespace
}  // namespace veltrano
