#include "link/serial_link.h"

#include <gtest/gtest.h>
#include <time.h>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "link/receive_queue.h"
#include "pty_fixture.h"
#include "sim/crc32.h"
#include "sim_process.h"

namespace veltrano {
namespace {

using test::PatternReceiver;
using test::PatternWriter;
using test::PseudoTerminal;
using test::serveFor;
using test::serveUntil;
using test::threadCount;

constexpr int kGuardMs = 30000;  // only a failing link ever waits this long

double processCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

class SerialLinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.isOpen());
    baselineThreads = threadCount();
  }
  bool openLink(bool startReader = true) {
    return link.openPort(QString::fromStdString(pty.path()), 115200, false, startReader);
  }
  // Waits until `total` bytes arrived and checks them.
  void expectAllReceived(uint64_t total) { test::expectAllReceived(receiver, total, kGuardMs); }
  void expectNoThreadLeft() { test::expectThreadsBackTo(baselineThreads); }

  PseudoTerminal pty;
  PatternReceiver receiver;
  SerialLink link{receiver};
  int baselineThreads = 0;
};

TEST_F(SerialLinkTest, BurstArrivesCompleteAndInOrder) {
  ASSERT_TRUE(openLink());
  EXPECT_TRUE(link.isOpen());
  PatternWriter writer(pty.master(), 4000);
  expectAllReceived(4000);
  EXPECT_EQ(receiver.lineErrors, 0);
}

TEST_F(SerialLinkTest, SustainedFloodArrivesCompleteInOrderAndOnce) {
  ASSERT_TRUE(openLink());
  constexpr uint64_t kTotal = 24u << 20;
  QElapsedTimer clock;
  clock.start();
  PatternWriter writer(pty.master(), kTotal);
  expectAllReceived(kTotal);
  const double seconds = double(clock.nsecsElapsed()) * 1e-9;
  RecordProperty("throughput_MBps", std::to_string(double(kTotal) / 1e6 / seconds));
  std::printf("[ info     ] %.1f MB through the pseudo-terminal in %.2f s: %.1f MB/s, %lld blocks\n",
              double(kTotal) / 1e6, seconds, double(kTotal) / 1e6 / seconds, static_cast<long long>(receiver.blocks));
}

class ChecksumReceiver : public LinkReceiver {
 public:
  void receiveBlock(const uint8_t* bytes, int32_t length) override {
    crc = sim::crc32Update(crc, bytes, size_t(length));
    received += uint64_t(length);
    largestBlock = std::max(largestBlock, length);
  }
  void countLineError() override { ++lineErrors; }

  uint32_t crc = 0;
  uint64_t received = 0;
  int32_t largestBlock = 0;
  int32_t lineErrors = 0;
};

TEST_F(SerialLinkTest, SimulatorFloodArrivesCompleteAndOnce) {
  // About 20.7 MB of NMEA epochs, sent as fast as the link takes them.
  sim::SimProcess simulator;
  ASSERT_TRUE(simulator.start({"--protocol", "nmea", "--rate", "20", "--duration", "2400", "--flood"}));
  ChecksumReceiver checksums;
  SerialLink simulatorLink(checksums);
  ASSERT_TRUE(simulatorLink.openPort(QString::fromStdString(simulator.terminalPath()), 921600, false, true));
  std::string announcement;
  unsigned long long announced = 0;
  unsigned announcedCrc = 0;
  EXPECT_TRUE(serveUntil(
      [&] {
        if (announcement.empty() && simulator.readLine(announcement, 1)) {
          EXPECT_EQ(std::sscanf(announcement.c_str(), "flood: %llu bytes, crc32 %x", &announced, &announcedCrc), 2)
              << announcement;
        }
        return !announcement.empty() && checksums.received >= announced;
      },
      kGuardMs));
  serveFor(50);
  EXPECT_GE(announced, 20'000'000u);
  EXPECT_EQ(checksums.received, announced);
  EXPECT_EQ(checksums.crc, announcedCrc);
  EXPECT_LE(checksums.largestBlock, ReceiveQueue::kMaxBatch);
  EXPECT_EQ(checksums.lineErrors, 0);
}

// Counts the frames the reader opens and the blocks inside each; a frame is
// over after `blocksPerFrame` blocks.
class CountedFrames : public BlockFrames {
 public:
  void startFrame() override {
    EXPECT_FALSE(open);
    open = true;
    blocksInFrame.push_back(0);
  }
  bool frameOver() const override { return blocksInFrame.back() >= blocksPerFrame; }
  void endFrame() override {
    EXPECT_TRUE(open);
    open = false;
  }
  int frameLengthMs() const override { return frameMs; }

  int blocksPerFrame = 1 << 30;
  int frameMs = 0;
  bool open = false;
  std::vector<int> blocksInFrame;
};

struct CatchUpCase {
  int blocksPerFrame;
  const char* name;
};

class SerialLinkCatchUpTest : public SerialLinkTest, public ::testing::WithParamInterface<CatchUpCase> {};

// A main thread that is behind takes the batches queued meanwhile in the same
// hand-off, every block inside a frame, and no frame holds more blocks than it
// allows; the bytes still come complete and in order.
TEST_P(SerialLinkCatchUpTest, BatchesQueuedWhileTheMainThreadIsBusyShareAFrame) {
  CountedFrames frames;
  frames.blocksPerFrame = GetParam().blocksPerFrame;
  PatternReceiver caughtUp;
  SerialLink framedLink(caughtUp, frames);
  ASSERT_TRUE(framedLink.openPort(QString::fromStdString(pty.path()), 115200, false, true));
  constexpr uint64_t kTotal = 512u << 10;  // many batches
  std::unique_ptr<PatternWriter> writer;
  caughtUp.duringBlock = [&] {
    EXPECT_TRUE(frames.open);
    ++frames.blocksInFrame.back();
    if (caughtUp.blocks != 1) return;
    // Busy on the first block until everything is queued.
    const QDeadlineTimer guard(kGuardMs);
    while (!writer->done() && !guard.hasExpired()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  };
  writer = std::make_unique<PatternWriter>(pty.master(), kTotal);
  EXPECT_TRUE(serveUntil([&] { return caughtUp.received >= kTotal; }, kGuardMs));
  EXPECT_EQ(caughtUp.received, kTotal);
  EXPECT_EQ(caughtUp.mismatches, 0u);
  EXPECT_FALSE(frames.open);
  EXPECT_LE(*std::max_element(frames.blocksInFrame.begin(), frames.blocksInFrame.end()), frames.blocksPerFrame);
  // The batches queued behind the first came in frames of more than one block.
  EXPECT_GE(frames.blocksInFrame.front(), 2);
  EXPECT_LT(int64_t(frames.blocksInFrame.size()), caughtUp.blocks);
  framedLink.closePort();
}

INSTANTIATE_TEST_SUITE_P(FrameLengths, SerialLinkCatchUpTest,
                         ::testing::Values(CatchUpCase{1 << 30, "Unbounded"}, CatchUpCase{3, "ThreeBlocks"}),
                         [](const ::testing::TestParamInfo<CatchUpCase>& info) {
                           return std::string(info.param.name);
                         });

// Data that streams in, small piece after small piece, goes to the main thread
// at most once a frame, each time with what queued up meanwhile; nothing is
// lost or reordered on the way.
TEST_F(SerialLinkTest, StreamingDataIsHandedOverOnceAFrame) {
  CountedFrames frames;
  frames.frameMs = 200;
  PatternReceiver paced;
  SerialLink pacedLink(paced, frames);
  ASSERT_TRUE(pacedLink.openPort(QString::fromStdString(pty.path()), 115200, false, true));
  QElapsedTimer clock;
  clock.start();
  std::atomic<uint64_t> written{0};
  std::atomic<bool> writing{true};
  std::thread writer([&] {
    // 64 bytes every 5 ms for a second: 200 reads, far fewer frames.
    uint8_t piece[64];
    for (int n = 0; n < 200; ++n) {
      for (size_t i = 0; i < sizeof piece; ++i) piece[i] = test::patternByte(written + i);
      if (::write(pty.master(), piece, sizeof piece) != ssize_t(sizeof piece)) break;
      written += sizeof piece;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    writing = false;
  });
  // The main thread serves the hand-offs all the while, as it would be idle.
  EXPECT_TRUE(serveUntil([&] { return !writing && paced.received >= written; }, kGuardMs));
  writer.join();
  const qint64 elapsedMs = clock.elapsed();
  EXPECT_EQ(paced.received, written);
  EXPECT_EQ(paced.mismatches, 0u);
  EXPECT_GE(frames.blocksInFrame.size(), 1u);
  EXPECT_LE(int64_t(frames.blocksInFrame.size()), elapsedMs / frames.frameMs + 2);
  pacedLink.closePort();
}

// The main thread is busy (as while Record sends its commands) on the first block;
// the reader keeps draining the port meanwhile, so the sender is never held up.
TEST_F(SerialLinkTest, BusyMainThreadDoesNotHoldUpTheSender) {
  ASSERT_TRUE(openLink());
  constexpr uint64_t kTotal = 768u << 10;  // far more than the kernel buffers of a terminal
  std::unique_ptr<PatternWriter> writer;
  bool senderFinishedWhileBusy = false;
  receiver.duringBlock = [&] {
    if (receiver.blocks != 1) return;
    const QDeadlineTimer guard(kGuardMs);
    while (!writer->done() && !guard.hasExpired()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    senderFinishedWhileBusy = writer->done() && writer->written() == kTotal;
  };
  writer = std::make_unique<PatternWriter>(pty.master(), kTotal);
  expectAllReceived(kTotal);
  EXPECT_TRUE(senderFinishedWhileBusy);
}

TEST_F(SerialLinkTest, SecondOpenOfAHeldPortFailsAndLeavesNothingOpen) {
  ASSERT_TRUE(openLink());
  PatternReceiver otherReceiver;
  SerialLink other(otherReceiver);
  EXPECT_FALSE(other.openPort(QString::fromStdString(pty.path()), 115200, true, true));
  EXPECT_FALSE(other.isOpen());
  other.closePort();
  EXPECT_EQ(other.writePort(reinterpret_cast<const uint8_t*>("x"), 1), 0);

  PatternWriter writer(pty.master(), 4000);
  expectAllReceived(4000);
  EXPECT_EQ(otherReceiver.blocks, 0);

  link.closePort();
  EXPECT_TRUE(other.openPort(QString::fromStdString(pty.path()), 115200, true, false));
}

TEST_F(SerialLinkTest, PlainPortNameIsLookedUpUnderDev) {
  const std::string prefix = "/dev/";
  ASSERT_EQ(pty.path().rfind(prefix, 0), 0u);
  ASSERT_TRUE(link.openPort(QString::fromStdString(pty.path().substr(prefix.size())), 921600, true, true));
  PatternWriter writer(pty.master(), 4000);
  expectAllReceived(4000);
}

int descriptorCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

class SerialLinkUnusablePortTest : public SerialLinkTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(SerialLinkUnusablePortTest, FailsAndLeavesNothingOpen) {
  const int descriptorsBefore = descriptorCount();
  EXPECT_FALSE(link.openPort(QString::fromLatin1(GetParam()), 115200, true, true));
  EXPECT_FALSE(link.isOpen());
  EXPECT_EQ(descriptorCount(), descriptorsBefore);
  EXPECT_FALSE(link.setPortBaud(9600));
  link.closePort();
  expectNoThreadLeft();
}

INSTANTIATE_TEST_SUITE_P(Ports, SerialLinkUnusablePortTest,
                         ::testing::Values("/dev/veltrano-no-such-port", "/dev/null", "veltrano-no-such-port"));

// BINR needs odd parity; a link is opened again and again (search, record, restart)
// with either setting, and every open must take it.
TEST_F(SerialLinkTest, ReopensWithEitherParityAnyNumberOfTimes) {
  const QString path = QString::fromStdString(pty.path());
  for (const bool oddParity : {true, true, false, true, false, false, true}) {
    ASSERT_TRUE(link.openPort(path, 115200, oddParity, true)) << "odd parity " << oddParity;
    receiver.received = 0;
    PatternWriter writer(pty.master(), 1000);
    expectAllReceived(1000);
    link.closePort();
  }
}

TEST_F(SerialLinkTest, RateChangesKeepTheReader) {
  ASSERT_TRUE(openLink());
  const int32_t rates[] = {4800, 9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600};
  int changes = 0;
  bool allAccepted = true;
  receiver.duringBlock = [&] {
    if (receiver.blocks % 8 == 0) allAccepted = link.setPortBaud(rates[changes++ % 9]) && allAccepted;
  };
  constexpr uint64_t kTotal = 4u << 20;
  PatternWriter writer(pty.master(), kTotal);
  expectAllReceived(kTotal);
  EXPECT_GT(changes, 0);
  EXPECT_TRUE(allAccepted);
}

TEST_F(SerialLinkTest, CloseDuringFloodReturnsAndHandsNothingOver) {
  ASSERT_TRUE(openLink());
  auto writer = std::make_unique<PatternWriter>(pty.master(), uint64_t(1) << 40);
  ASSERT_TRUE(serveUntil([&] { return receiver.received >= (1u << 20); }, kGuardMs));
  // Leave the reader waiting in a hand-off that the main thread has not served yet.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const int64_t blocksBeforeClose = receiver.blocks;
  link.closePort();
  EXPECT_FALSE(link.isOpen());
  EXPECT_EQ(receiver.blocks, blocksBeforeClose);
  serveFor(200);
  EXPECT_EQ(receiver.blocks, blocksBeforeClose);
  EXPECT_EQ(receiver.mismatches, 0u);
  writer.reset();
  expectNoThreadLeft();
}

// The synchronisation stops the transport from inside a block: the reader that is
// waiting in that very hand-off must neither deadlock nor hand over anything more.
TEST_F(SerialLinkTest, CloseFromInsideAHandOffEndsTheReader) {
  ASSERT_TRUE(openLink());
  receiver.duringBlock = [&] {
    if (receiver.blocks == 1) link.closePort();
  };
  auto writer = std::make_unique<PatternWriter>(pty.master(), uint64_t(1) << 40);
  ASSERT_TRUE(serveUntil([&] { return receiver.blocks >= 1; }, kGuardMs));
  EXPECT_FALSE(link.isOpen());
  serveFor(200);
  EXPECT_EQ(receiver.blocks, 1);
  writer.reset();
  expectNoThreadLeft();
}

TEST_F(SerialLinkTest, ReopenFromInsideAHandOffStartsANewReader) {
  ASSERT_TRUE(openLink());
  receiver.duringBlock = [&] {
    if (receiver.blocks == 1) {
      link.closePort();
      EXPECT_TRUE(openLink());
    }
  };
  PatternWriter first(pty.master(), 1000);
  ASSERT_TRUE(serveUntil([&] { return receiver.blocks >= 1; }, kGuardMs));
  ASSERT_TRUE(link.isOpen());
  serveFor(100);
  // The reopen purged what was queued; what is sent now arrives through the new reader.
  const uint64_t before = receiver.received;
  receiver.duringBlock = nullptr;
  receiver.received = 0;
  receiver.mismatches = 0;
  PatternWriter second(pty.master(), 4000);
  expectAllReceived(4000);
  EXPECT_GE(before, 1u);
  link.closePort();
  expectNoThreadLeft();
}

TEST_F(SerialLinkTest, VanishedPortClosesQuietlyWithoutSpinning) {
  ASSERT_TRUE(openLink());
  {
    PatternWriter writer(pty.master(), 64000);
    expectAllReceived(64000);
  }
  pty.closeMaster();
  EXPECT_TRUE(serveUntil([&] { return !link.isOpen(); }, kGuardMs));
  expectNoThreadLeft();

  const double cpuBefore = processCpuSeconds();
  QElapsedTimer wall;
  wall.start();
  serveFor(1000);
  const double cpuUsed = processCpuSeconds() - cpuBefore;
  EXPECT_LT(cpuUsed, 0.5 * double(wall.elapsed()) / 1000.0) << cpuUsed << " s of CPU while idle";

  const uint8_t command[] = {0x10, 0x1B, 0x10, 0x03};
  EXPECT_EQ(link.writePort(command, 4), 0);
  EXPECT_FALSE(link.setPortBaud(9600));
  link.closePort();
}

class SerialLinkWriteTest : public SerialLinkTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SerialLinkWriteTest, WriteGivesUpWhenTheOtherSideDoesNotRead) {
  ASSERT_TRUE(openLink(GetParam()));
  uint8_t chunk[1024];
  uint64_t position = 0;
  int calls = 0;
  int result = 0;
  do {
    for (size_t i = 0; i < sizeof chunk; ++i) chunk[i] = test::patternByte(position + i);
    result = link.writePort(chunk, int(sizeof chunk));
    if (result > 0) position += uint64_t(result);
    ++calls;
  } while (result == int(sizeof chunk) && calls < 4096);
  EXPECT_EQ(result, 0) << "the pseudo-terminal never filled up";

  const std::string sent = pty.readMaster(1000);
  ASSERT_GE(sent.size(), position);
  for (uint64_t i = 0; i < position; ++i) ASSERT_EQ(uint8_t(sent[i]), test::patternByte(i)) << "at " << i;
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutReader, SerialLinkWriteTest, ::testing::Bool());

TEST_F(SerialLinkTest, WritesNothingWhenEmptyOrClosed) {
  const uint8_t command[] = {0x10, 0x1B, 0x10, 0x03};
  EXPECT_EQ(link.writePort(command, 4), 0);
  ASSERT_TRUE(openLink(false));
  EXPECT_EQ(link.writePort(command, 0), 0);
  EXPECT_EQ(link.writePort(command, 4), 4);
  EXPECT_EQ(pty.readMaster(1000), std::string("\x10\x1B\x10\x03", 4));
}

}  // namespace
}  // namespace veltrano
