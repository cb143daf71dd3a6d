#include "decoding/stream_intake.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace veltrano {
namespace {

struct FakeTarget : IntakeTarget {
  std::vector<std::pair<char, uint8_t>> bytes;
  std::vector<std::vector<uint8_t>> recorded;
  std::vector<std::string> receivedLabels, errorLabels;
  int repaints = 0;
  std::function<void(uint8_t)> onByte;

  void take(char protocol, uint8_t b) {
    bytes.emplace_back(protocol, b);
    if (onByte) onByte(b);
  }
  void handleNmeaByte(uint8_t b) override { take('n', b); }
  void handleBinrByte(uint8_t b) override { take('b', b); }
  void handleBinr2Byte(uint8_t b) override { take('2', b); }
  void recordBlock(const uint8_t* data, int32_t length) override { recorded.emplace_back(data, data + length); }
  void showReceivedBytes(const std::string& text) override { receivedLabels.push_back(text); }
  void showErrorCount(const std::string& text) override { errorLabels.push_back(text); }
  void repaintWindows() override { ++repaints; }
};

struct Intake : ::testing::Test {
  TransportFields transport;
  FakeTarget target;
  StreamIntake intake{transport, target};
  const uint8_t block[3] = {'a', 'b', 'c'};
};

TEST_F(Intake, StopDropsTheBlockWhole) {
  transport.transportState = TransportState::STOP;
  intake.receiveBlock(block, 3);
  EXPECT_TRUE(target.bytes.empty());
  EXPECT_EQ(transport.receivedTotal, 0);
  EXPECT_TRUE(target.recorded.empty());
  EXPECT_TRUE(target.receivedLabels.empty());
  EXPECT_EQ(target.repaints, 0);
}

TEST_F(Intake, StatesDecideCountingRecordingAndRepaint) {
  struct Case {
    TransportState state;
    bool counted, recorded;
  } cases[] = {
      {TransportState::SYNC, false, false}, {TransportState::OPEN, false, false}, {TransportState::PAUSE, false, false},
      {TransportState::PLAY, true, false},  {TransportState::FF, true, false},    {TransportState::REC, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.state));
    TransportFields t;
    FakeTarget f;
    StreamIntake in(t, f);
    t.transportState = c.state;
    in.receiveBlock(block, 3);
    EXPECT_EQ(f.bytes.size(), 3u);
    EXPECT_EQ(t.receivedTotal, c.counted ? 3 : 0);
    EXPECT_EQ(f.receivedLabels.size(), c.counted ? 1u : 0u);
    EXPECT_EQ(f.recorded.size(), c.recorded ? 1u : 0u);
    EXPECT_EQ(f.repaints, 1);
  }
}

TEST_F(Intake, DispatchesToTheSelectedProtocolInOrder) {
  transport.transportState = TransportState::PLAY;
  for (auto [protocol, tag] : {std::pair{ReceiverProtocol::NMEA, 'n'}, std::pair{ReceiverProtocol::BINR, 'b'},
                               std::pair{ReceiverProtocol::BINR2, '2'}}) {
    target.bytes.clear();
    transport.receiverProtocol = protocol;
    intake.receiveBlock(block, 3);
    ASSERT_EQ(target.bytes.size(), 3u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(target.bytes[i], std::make_pair(tag, block[i]));
  }
}

TEST_F(Intake, EmptyBlockInPlayStillRewritesTheLabelAndRepaints) {
  transport.transportState = TransportState::PLAY;
  transport.receivedTotal = 2048;
  intake.receiveBlock(block, 0);
  EXPECT_EQ(transport.receivedTotal, 2048);
  EXPECT_EQ(target.receivedLabels, std::vector<std::string>{"2.0 kB"});
  EXPECT_EQ(target.repaints, 1);
}

TEST_F(Intake, StopInTheMiddleOfABlockStillDecodesTheRestButDoesNotCount) {
  transport.transportState = TransportState::SYNC;
  target.onByte = [&](uint8_t b) {
    if (b == 'a') transport.transportState = TransportState::STOP;
  };
  intake.receiveBlock(block, 3);
  EXPECT_EQ(target.bytes.size(), 3u);
  EXPECT_EQ(transport.receivedTotal, 0);
  EXPECT_EQ(target.repaints, 1);
}

TEST_F(Intake, RecordingStartedByAHandlerTakesTheWholeBlock) {
  transport.transportState = TransportState::SYNC;
  target.onByte = [&](uint8_t b) {
    if (b == 'b') transport.transportState = TransportState::REC;
  };
  intake.receiveBlock(block, 3);
  EXPECT_EQ(transport.receivedTotal, 3);
  ASSERT_EQ(target.recorded.size(), 1u);
  EXPECT_EQ(target.recorded[0], std::vector<uint8_t>(block, block + 3));
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
  EXPECT_EQ(target.errorLabels, (std::vector<std::string>{"1", "2"}));
}

}  // namespace
}  // namespace veltrano
