// Playback of a named pipe (FIFO): starting it never waits for a writer, Stop
// and closing the program end a playback that still waits for one, and what a
// writer writes is played until it closes the FIFO.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "../decoding/test_frames.h"
#include "current_directory_guard.h"
#include "decoding/stream_intake.h"
#include "main_form_probe.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "mainwindow/playback.h"
#include "mainwindow/read_cycle.h"
#include "spin_until.h"

namespace veltrano {
namespace {

using test::Bytes;
using test::spinFor;
using test::spinUntil;
using S = TransportState;

std::string encoded(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Ends a wait for a writer that should not happen: unless dismissed within a
// while, it opens the FIFO for writing and closes it again, as a writer that
// comes and goes. That releases an open that waits for a writer, and a
// playback thread that waits for one although it was told to end, so that
// such a fault fails the test instead of hanging it. Only a failing test
// waits that long.
class StuckWaitRescue {
 public:
  explicit StuckWaitRescue(const QString& fifo) : path_(encoded(fifo)), thread_([this] { watch(); }) {}
  ~StuckWaitRescue() { dismiss(); }
  StuckWaitRescue(const StuckWaitRescue&) = delete;
  StuckWaitRescue& operator=(const StuckWaitRescue&) = delete;

  // True when the writer had to come.
  bool dismiss() {
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      dismissed_ = true;
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
    return rescued_;
  }

 private:
  void watch() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (wake_.wait_for(lock, std::chrono::seconds(10), [this] { return dismissed_; })) return;
    const int descriptor = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor >= 0) ::close(descriptor);
    rescued_ = true;
  }

  const std::string path_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool dismissed_ = false;
  bool rescued_ = false;
  std::thread thread_;
};

// The writer of the FIFO, on the main thread: it never blocks there, since
// the main thread has to serve the playback thread's hand-offs meanwhile.
class FifoWriter {
 public:
  explicit FifoWriter(const QString& fifo)
      : descriptor_(::open(encoded(fifo).c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC)) {
    // A reader that went away shows as a failed write, not as the end of the
    // test program.
    std::signal(SIGPIPE, SIG_IGN);
  }
  ~FifoWriter() { close(); }
  FifoWriter(const FifoWriter&) = delete;
  FifoWriter& operator=(const FifoWriter&) = delete;

  // Opening for writing without waiting succeeds only while a reader has the FIFO open.
  bool isOpen() const { return descriptor_ >= 0; }
  // Adds bytes to write; the bytes added so far.
  size_t add(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return bytes_.size();
  }
  // Writes as much of the rest as the FIFO takes now; true once all is written.
  bool writeMore() {
    while (descriptor_ >= 0 && written_ < bytes_.size()) {
      const ssize_t n = ::write(descriptor_, bytes_.data() + written_, bytes_.size() - written_);
      if (n <= 0) break;
      written_ += size_t(n);
    }
    return written_ == bytes_.size();
  }
  void close() {
    if (descriptor_ >= 0) ::close(descriptor_);
    descriptor_ = -1;
  }

 private:
  Bytes bytes_;
  int descriptor_;
  size_t written_ = 0;
};

// GGA and RMC sentences by turns, all valid.
Bytes sentences(int count) {
  std::string text;
  char body[128];
  for (int i = 0; i < count; ++i) {
    const int s = i % 60, m = (i / 60) % 60;
    if (i % 2 == 0) {
      std::snprintf(body, sizeof body, "GPGGA,10%02d%02d.00,5545.%05d,N,03736.93565,E,1,08,0.9,151.7,M,14.6,M,,", m, s,
                    i % 100000);
    } else {
      std::snprintf(body, sizeof body, "GPRMC,10%02d%02d.00,A,5545.%05d,N,03736.93565,E,0.06,57.5,010524,,,A", m, s,
                    i % 100000);
    }
    text += test::nmeaSentence(body);
  }
  return Bytes(text.begin(), text.end());
}

class FifoPlaybackTest : public ::testing::Test {
 protected:
  FifoPlaybackTest() {
    QDir::setCurrent(dir.path());
    EXPECT_EQ(::mkfifo(encoded(fifo).c_str(), 0600), 0);
    t().receiverProtocol = ReceiverProtocol::NMEA;
    c().fileLabel->setCaption(QStringLiteral("live.nme"));
  }

  MainFormControls c() { return test::probeControls(*app->mainForm); }
  TransportFields& t() { return app->transport; }
  Playback& playback() { return *app->playback; }
  QString info() { return c().infoLabel->text(); }

  // Play or Fast play, which must return without waiting for a writer.
  void start(S state) {
    StuckWaitRescue rescue(fifo);
    state == S::PLAY ? playback().PlayButtonClick(true) : playback().RewindButtonClick(true);
    ASSERT_FALSE(rescue.dismiss()) << "starting the playback waited for a writer";
    ASSERT_EQ(t().transportState, state);
  }
  bool waitForStop() {
    return spinUntil([&] { return t().transportState == S::STOP && !playback().currentCycle(); });
  }
  // Writes `bytes` and waits until the playback has handed all that was
  // written to the decoders.
  void writeAndWaitForPlayback(FifoWriter& writer, const Bytes& bytes) {
    ASSERT_TRUE(writer.isOpen());
    const int64_t total = int64_t(writer.add(bytes));
    ASSERT_TRUE(spinUntil([&] { return writer.writeMore() && t().receivedTotal == total; }));
  }
  void expectDecoded(const Bytes& bytes, int count) {
    EXPECT_EQ(t().receivedTotal, int64_t(bytes.size()));
    if (!bytes.empty()) {
      EXPECT_EQ(c().receiveBytesLabel->text(), QString::fromStdString(formatReceivedTotal(int64_t(bytes.size()))));
    }
    EXPECT_EQ(t().errorCount, 0);
    EXPECT_EQ(app->receiver->nmea.ggaCount, uint32_t((count + 1) / 2));
    EXPECT_EQ(app->receiver->nmea.rmcCount, uint32_t(count / 2));
  }

  test::CurrentDirectoryGuard cwd;
  QTemporaryDir dir;
  const QString fifo = dir.filePath(QStringLiteral("live.nme"));
  std::unique_ptr<AppContext> app = std::make_unique<AppContext>();
};

TEST(FifoProgressTest, AFifoShowsTheAmountReadForItHasNoLength) {
  struct Case {
    int64_t received;
    const char* text;
  };
  const Case cases[] = {
      {0, "File reading... 0.0 kB"},
      {1536, "File reading... 1.5 kB"},
      {int64_t(3) << 20, "File reading... 3.0 MB"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(playbackProgressText(c.received, TReadCycle::kNoLength), QString::fromLatin1(c.text)) << c.received;
  }
}

struct WaitCase {
  S state;            // PLAY, FF, or PAUSE after Play
  bool closeProgram;  // the program closes instead of Stop
};

std::string waitCaseName(const ::testing::TestParamInfo<WaitCase>& info) {
  const char* state = info.param.state == S::PLAY ? "Play" : info.param.state == S::FF ? "FastPlay" : "Pause";
  return std::string(state) + (info.param.closeProgram ? "Close" : "Stop");
}

class FifoWaitTest : public FifoPlaybackTest, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(FifoWaitTest, APlaybackWaitingForAWriterEndsAtStopOrClose) {
  const WaitCase& wc = GetParam();
  ASSERT_NO_FATAL_FAILURE(start(wc.state == S::FF ? S::FF : S::PLAY));
  QPointer<TReadCycle> cycle = playback().currentCycle();
  ASSERT_FALSE(cycle.isNull());
  EXPECT_EQ(cycle->fileLength(), TReadCycle::kNoLength);
  EXPECT_EQ(info(), QStringLiteral("File reading... 0.0 kB"));
  // With no writer there is nothing to read, and also no end yet (an end
  // would have come within the thread's pause before its end hand-off).
  spinFor(300);
  EXPECT_EQ(playback().currentCycle(), cycle);
  EXPECT_EQ(t().receivedTotal, 0);
  if (wc.state == S::PAUSE) playback().PauseButtonClick();
  ASSERT_EQ(t().transportState, wc.state);

  StuckWaitRescue rescue(fifo);
  if (wc.closeProgram) {
    app.reset();
    EXPECT_TRUE(cycle.isNull());
  } else {
    app->mainForm->StopButtonClick(true);
    EXPECT_EQ(t().transportState, S::STOP);
    EXPECT_EQ(playback().currentCycle(), nullptr);
    ASSERT_TRUE(spinUntil([&] { return cycle.isNull(); }));
    EXPECT_EQ(t().transportState, S::STOP);
    EXPECT_EQ(info(), QString());
  }
  EXPECT_FALSE(rescue.dismiss()) << "the playback thread went on waiting for a writer";
  // The ended thread closed the FIFO: a writer finds no reader.
  EXPECT_FALSE(FifoWriter(fifo).isOpen());
}

INSTANTIATE_TEST_SUITE_P(States, FifoWaitTest,
                         ::testing::Values(WaitCase{S::PLAY, false}, WaitCase{S::FF, false}, WaitCase{S::PAUSE, false},
                                           WaitCase{S::PLAY, true}, WaitCase{S::FF, true}, WaitCase{S::PAUSE, true}),
                         waitCaseName);

struct WriterCase {
  S state;        // PLAY or FF
  int sentences;  // 0: the writer closes without writing
};

std::string writerCaseName(const ::testing::TestParamInfo<WriterCase>& info) {
  return std::string(info.param.state == S::PLAY ? "Play" : "FastPlay") + std::to_string(info.param.sentences);
}

class FifoWriterTest : public FifoPlaybackTest, public ::testing::WithParamInterface<WriterCase> {};

TEST_P(FifoWriterTest, WhatALaterWriterWritesIsPlayedUntilItCloses) {
  const WriterCase& wc = GetParam();
  const Bytes bytes = sentences(wc.sentences);
  ASSERT_NO_FATAL_FAILURE(start(wc.state));
  TReadCycle* cycle = playback().currentCycle();
  spinFor(300);
  ASSERT_EQ(t().transportState, wc.state);

  // Written in two parts, the cut inside a sentence.
  const auto half = bytes.begin() + std::ptrdiff_t(bytes.size() / 2);
  FifoWriter writer(fifo);
  for (const Bytes& part : {Bytes(bytes.begin(), half), Bytes(half, bytes.end())}) {
    ASSERT_NO_FATAL_FAILURE(writeAndWaitForPlayback(writer, part));
    // All that was written is played, and the writer is still there: the
    // playback waits for more.
    spinFor(300);
    ASSERT_EQ(t().transportState, wc.state);
    ASSERT_EQ(playback().currentCycle(), cycle);
    if (t().receivedTotal > 0) {
      EXPECT_EQ(info(), playbackProgressText(t().receivedTotal, TReadCycle::kNoLength));
    }
  }

  writer.close();
  ASSERT_TRUE(waitForStop());
  EXPECT_EQ(info(), QString());
  expectDecoded(bytes, wc.sentences);
}

// 4000 sentences are more than the FIFO holds and more than a chunk.
INSTANTIATE_TEST_SUITE_P(Writers, FifoWriterTest,
                         ::testing::Values(WriterCase{S::PLAY, 30}, WriterCase{S::FF, 4000}, WriterCase{S::PLAY, 0},
                                           WriterCase{S::FF, 0}),
                         writerCaseName);

TEST_F(FifoPlaybackTest, AFifoOnTheCommandLineIsFastPlayedOnceAWriterWrites) {
  const Bytes bytes = sentences(200);
  QDir::setCurrent(QDir::rootPath());
  app.reset();
  {
    StuckWaitRescue rescue(fifo);
    app = std::make_unique<AppContext>(QStringList{fifo});
    app->mainForm->show();
    ASSERT_FALSE(rescue.dismiss()) << "showing the main window waited for a writer";
  }
  EXPECT_EQ(c().fileLabel->text(), QStringLiteral("live.nme"));
  spinFor(300);
  ASSERT_EQ(t().transportState, S::FF);

  FifoWriter writer(fifo);
  ASSERT_NO_FATAL_FAILURE(writeAndWaitForPlayback(writer, bytes));
  writer.close();
  ASSERT_TRUE(waitForStop());
  expectDecoded(bytes, 200);
  app->mainForm->hide();
}

}  // namespace
}  // namespace veltrano
