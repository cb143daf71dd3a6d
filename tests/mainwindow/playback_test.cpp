#include "mainwindow/playback.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../decoding/test_frames.h"
#include "decoding/stream_intake.h"
#include "displays/visual_form.h"
#include "mainwindow/app_context.h"
#include "mainwindow/frame_pacer.h"
#include "mainwindow/main_form.h"
#include "current_directory_guard.h"
#include "main_form_probe.h"
#include "mainwindow/read_cycle.h"
#include "spin_until.h"

namespace veltrano {
namespace {

using test::Bytes;
using test::CurrentDirectoryGuard;
using test::spinFor;
using test::spinUntil;
using P = ReceiverProtocol;
using S = TransportState;

// ---- Helpers ----

QString samplesDir() { return QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../../samples"); }

Bytes readAll(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray data = file.readAll();
  return Bytes(data.begin(), data.end());
}

void writeAll(const QString& path, const Bytes& bytes) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
  ASSERT_EQ(file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())), qint64(bytes.size()));
}

// GGA, RMC, GLGSV and GNS sentences; every 13th carries a wrong checksum.
Bytes nmeaStream(int sentences) {
  std::string text;
  char body[128];
  for (int i = 0; i < sentences; ++i) {
    const int s = i % 60, m = (i / 60) % 60;
    switch (i % 4) {
      case 0:
        std::snprintf(body, sizeof body, "GPGGA,10%02d%02d.00,5545.%05d,N,03736.93565,E,1,08,0.9,%d.7,M,14.6,M,,", m, s,
                      i % 100000, 100 + i % 50);
        break;
      case 1:
        std::snprintf(body, sizeof body, "GPRMC,10%02d%02d.00,A,5545.%05d,N,03736.93565,E,0.06,57.5,010524,,,A", m, s,
                      i % 100000);
        break;
      case 2:
        std::snprintf(body, sizeof body, "GLGSV,1,1,02,72,%02d,100,40,73,30,200,35", i % 90);
        break;
      default:
        std::snprintf(body, sizeof body, "GNGNS,10%02d%02d.00,5545.%05d,N,03736.93565,E,AA,12,0.8,151.2,14.6,,", m, s,
                      i % 100000);
        break;
    }
    std::string sentence = test::nmeaSentence(body);
    if (i % 13 == 12) {
      char& digit = sentence[sentence.size() - 3];
      digit = digit == '0' ? '1' : '0';
    }
    text += sentence;
  }
  return Bytes(text.begin(), text.end());
}

// Navigation solutions (status 0x10, so every frame has a doubled DLE); every
// 9th frame has a broken CRC trailer.
Bytes binrStream(int frames) {
  Bytes out;
  for (int i = 0; i < frames; ++i) {
    Bytes nav(69, 0);
    const double lat = 0.97 + i * 1e-7, height = 150.0 + i;
    test::put(nav, 0, &lat, 8);
    test::put(nav, 16, &height, 8);
    nav[68] = 0x10;
    Bytes frame = test::binrFrame(0x88, nav);
    if (i % 9 == 8) frame[frame.size() - 4] ^= 0x5A;
    out.insert(out.end(), frame.begin(), frame.end());
  }
  return out;
}

// Navigation solutions with a counter in their first bytes; every 7th frame
// has a broken checksum.
Bytes binr2Stream(int frames) {
  Bytes out;
  for (int i = 0; i < frames; ++i) {
    Bytes payload(40, 0);
    payload[0] = uint8_t(i);
    payload[1] = uint8_t(i >> 8);
    Bytes frame = test::binr2Frame(0x90, payload);
    if (i % 7 == 6) frame.back() ^= 0x01;
    out.insert(out.end(), frame.begin(), frame.end());
  }
  return out;
}

Bytes stream(P protocol, int messages) {
  switch (protocol) {
    case P::NMEA:
      return nmeaStream(messages);
    case P::BINR:
      return binrStream(messages);
    case P::BINR2:
      return binr2Stream(messages);
  }
  return {};
}

const char* extension(P protocol) {
  switch (protocol) {
    case P::NMEA:
      return ".nme";
    case P::BINR:
      return ".dat";
    case P::BINR2:
      return ".b2";
  }
  return "";
}

// The same bytes run through a decoder of our own, message by message.
struct DirectDecode {
  std::unique_ptr<Receiver> rx = std::make_unique<Receiver>();
  int32_t errors = 0;
  std::map<int, int> counts;  // NmeaKind or message id
};

DirectDecode decodeDirect(P protocol, const Bytes& bytes) {
  DirectDecode d;
  for (uint8_t b : bytes) {
    int r = 0;
    switch (protocol) {
      case P::NMEA:
        r = int(d.rx->nmea.pushNmeaChar(b));
        break;
      case P::BINR:
        r = d.rx->binrDecoder.pushBinrByte(b);
        break;
      case P::BINR2:
        r = d.rx->binr2Decoder.pushBinr2Byte(b);
        break;
    }
    if (r < 0) ++d.errors;
    if (r > 0) ++d.counts[r];
  }
  return d;
}

// The program's decoders took exactly `bytes`: counts, errors and the last
// message of every kind agree with the direct decode.
void expectDecodedAsDirect(AppContext& app, P protocol, const Bytes& bytes) {
  DirectDecode direct = decodeDirect(protocol, bytes);
  ASSERT_FALSE(direct.counts.empty()) << "the stream decodes to nothing";
  const Receiver& played = *app.receiver;
  EXPECT_EQ(app.transport.errorCount, direct.errors);
  switch (protocol) {
    case P::NMEA: {
      EXPECT_EQ(played.nmea.ggaCount, uint32_t(direct.counts[int(NmeaKind::GGA)]));
      EXPECT_EQ(played.nmea.rmcCount, uint32_t(direct.counts[int(NmeaKind::RMC)]));
      EXPECT_EQ(played.nmea.gnsCount, uint32_t(direct.counts[int(NmeaKind::GNS)]));
      EXPECT_EQ(played.nmea.glgsvCount, uint32_t(direct.counts[int(NmeaKind::GLGSV)]));
      for (NmeaKind kind :
           {NmeaKind::GGA, NmeaKind::RMC, NmeaKind::GSA, NmeaKind::RZD, NmeaKind::GPGSV, NmeaKind::GLGSV,
            NmeaKind::GAGSV, NmeaKind::GNS, NmeaKind::GBS, NmeaKind::BDGSV, NmeaKind::BSS, NmeaKind::VER}) {
        EXPECT_EQ(std::memcmp(&played.nmea.stored(kind), &direct.rx->nmea.stored(kind), sizeof(NmeaFieldTable)), 0)
            << nmeaKindName(kind);
      }
      break;
    }
    case P::BINR:
      EXPECT_TRUE(played.binr == direct.rx->binr);
      break;
    case P::BINR2:
      EXPECT_TRUE(played.binr2 == direct.rx->binr2);
      break;
  }
}

// ---- The playback thread alone ----

// Runs a TReadCycle over a file and records what it hands over; the queued
// slices of fast speed are taken as soon as they wait.
class CycleRun {
 public:
  CycleRun(const QString& path, bool normalSpeed) {
    auto file = std::make_unique<QFile>(path);
    EXPECT_TRUE(file->open(QIODevice::ReadOnly));
    cycle =
        std::make_unique<TReadCycle>(std::move(file), normalSpeed,
                                     TReadCycle::HandOffs{[this](TReadCycle*, const uint8_t* bytes, int32_t length) {
                                                            if (!accept(length)) return false;
                                                            lengths.push_back(length);
                                                            received.insert(received.end(), bytes, bytes + length);
                                                            if (afterBlock) afterBlock();
                                                            return true;
                                                          },
                                                          [this](TReadCycle* from) {
                                                            ++takings;
                                                            from->takeQueuedSlices(deadline());
                                                          },
                                                          [this](TReadCycle*) {
                                                            endsAfter.push_back(int(lengths.size()));
                                                          }});
  }
  ~CycleRun() {
    cycle->requestTermination();
    while (!cycle->wait(QDeadlineTimer(10))) QCoreApplication::sendPostedEvents(cycle.get(), QEvent::MetaCall);
  }

  bool ended() const { return !endsAfter.empty(); }

  std::function<bool(int32_t length)> accept = [](int32_t) { return true; };
  std::function<void()> afterBlock;
  std::function<QDeadlineTimer()> deadline = [] { return QDeadlineTimer(QDeadlineTimer::Forever); };
  std::unique_ptr<TReadCycle> cycle;
  std::vector<int32_t> lengths;
  Bytes received;
  std::vector<int> endsAfter;  // blocks handed over before each end hand-off
  int takings = 0;             // calls of the slices-waiting hand-off
};

class ReadCycleTest : public ::testing::Test {
 protected:
  QString file(const Bytes& bytes) {
    const QString path = dir.filePath(QStringLiteral("cycle.bin"));
    writeAll(path, bytes);
    return path;
  }
  static Bytes pattern(size_t size) {
    Bytes bytes(size);
    for (size_t i = 0; i < size; ++i) bytes[i] = uint8_t(i * 7 + i / 251);
    return bytes;
  }

  QTemporaryDir dir;
};

struct SliceCase {
  size_t size;
  int slices;       // hand-offs in all
  int emptySlices;  // of which with length 0
};

class ReadCycleSliceTest : public ReadCycleTest, public ::testing::WithParamInterface<SliceCase> {};

TEST_P(ReadCycleSliceTest, FastSpeedHandsOverChunksInSlices) {
  const SliceCase& c = GetParam();
  const Bytes bytes = pattern(c.size);
  CycleRun run(file(bytes), false);
  EXPECT_EQ(run.cycle->fileLength(), int64_t(c.size));
  run.cycle->start();
  ASSERT_TRUE(spinUntil([&] { return run.ended(); }));

  EXPECT_EQ(run.received, bytes);
  EXPECT_EQ(int(run.lengths.size()), c.slices);
  int empty = 0;
  for (int32_t length : run.lengths) {
    EXPECT_LE(length, TReadCycle::kSliceSize);
    if (length == 0) ++empty;
  }
  EXPECT_EQ(empty, c.emptySlices);
  EXPECT_EQ(run.endsAfter, std::vector<int>{c.slices});
}

INSTANTIATE_TEST_SUITE_P(Sizes, ReadCycleSliceTest,
                         ::testing::Values(SliceCase{0, 1, 1}, SliceCase{1, 1, 0}, SliceCase{2047, 1, 0},
                                           SliceCase{2048, 2, 1}, SliceCase{5000, 3, 0}, SliceCase{32768, 18, 2},
                                           SliceCase{32769, 18, 1}, SliceCase{65536, 35, 3}));

TEST_F(ReadCycleTest, NormalSpeedHandsOverOneByteAtATime) {
  for (size_t size : {size_t(0), size_t(1), size_t(300)}) {
    SCOPED_TRACE(size);
    const Bytes bytes = pattern(size);
    CycleRun run(file(bytes), true);
    run.cycle->start();
    ASSERT_TRUE(spinUntil([&] { return run.ended(); }));
    EXPECT_EQ(run.received, bytes);
    EXPECT_EQ(run.lengths, std::vector<int32_t>(size, 1));
    EXPECT_EQ(run.endsAfter, std::vector<int>{int(size)});
  }
}

// The chunk being taken goes on in slices, with its closing empty one, and so
// do the chunks read ahead meanwhile, at most kChunkBuffers in all; everything
// after them is handed over byte by byte.
TEST_F(ReadCycleTest, ASpeedChangeAppliesFromTheNextPass) {
  const Bytes bytes = pattern(size_t(TReadCycle::kChunkBuffers + 1) * TReadCycle::kChunkSize + 300);
  CycleRun run(file(bytes), false);
  run.afterBlock = [&] {
    if (run.lengths.size() == 1) run.cycle->setNormalSpeed(true);
  };
  run.cycle->start();
  ASSERT_TRUE(spinUntil([&] { return run.ended(); }, 120000));

  EXPECT_EQ(run.received, bytes);
  std::vector<int32_t> chunk(TReadCycle::kChunkSize / TReadCycle::kSliceSize, TReadCycle::kSliceSize);
  chunk.push_back(0);
  std::vector<int32_t> expected;
  int sliced = 0;
  do {
    expected.insert(expected.end(), chunk.begin(), chunk.end());
    ++sliced;
  } while (run.lengths.size() >= expected.size() + chunk.size() &&
           std::equal(chunk.begin(), chunk.end(), run.lengths.begin() + long(expected.size())));
  EXPECT_LE(sliced, TReadCycle::kChunkBuffers);
  expected.resize(expected.size() + bytes.size() - size_t(sliced) * TReadCycle::kChunkSize, 1);
  EXPECT_EQ(run.lengths, expected) << run.lengths.size() << " blocks, " << expected.size() << " expected";
}

TEST_F(ReadCycleTest, ADeadlineLeavesTheRestForAnotherTaking) {
  const Bytes bytes = pattern(3 * TReadCycle::kChunkSize);
  CycleRun run(file(bytes), false);
  // Every taking is over after its first slice.
  run.deadline = [] { return QDeadlineTimer(0); };
  run.cycle->start();
  ASSERT_TRUE(spinUntil([&] { return run.ended(); }));
  EXPECT_EQ(run.received, bytes);
  // 3 chunks of 16 slices and an empty one each, and the empty last read;
  // no taking took more than one.
  EXPECT_EQ(run.lengths.size(), 3u * 17u + 1u);
  EXPECT_GE(run.takings, int(run.lengths.size()));
}

// Input that comes while slices are taken (a click) is answered before the
// next taking: the thread, reading ahead meanwhile, does not put the next
// taking before it in the event queue.
TEST_F(ReadCycleTest, InputDuringATakingComesBeforeTheNextTaking) {
  const Bytes bytes = pattern(12 * TReadCycle::kChunkSize);
  CycleRun run(file(bytes), false);
  run.deadline = [] { return QDeadlineTimer(0); };
  QObject context;
  std::vector<std::pair<int, int>> probes;  // takings when posted, and when answered
  run.afterBlock = [&] {
    // The first taking lasts until the thread has filled its ring.
    if (run.lengths.size() == 1) QThread::msleep(150);
    const int posted = run.takings;
    QMetaObject::invokeMethod(
        &context, [&, posted] { probes.emplace_back(posted, run.takings); }, Qt::QueuedConnection);
  };
  run.cycle->start();
  ASSERT_TRUE(spinUntil([&] { return run.ended(); }));
  QCoreApplication::processEvents();
  EXPECT_EQ(run.received, bytes);
  ASSERT_EQ(probes.size(), run.lengths.size());
  for (const auto& [posted, answered] : probes) EXPECT_EQ(answered, posted) << "posted in taking " << posted;
}

TEST_F(ReadCycleTest, ARefusedBlockIsOfferedAgain) {
  const Bytes bytes = pattern(5000);
  CycleRun run(file(bytes), false);
  int offers = 0;
  run.accept = [&](int32_t) { return ++offers % 2 == 0; };  // every block is refused once
  run.cycle->start();
  ASSERT_TRUE(spinUntil([&] { return run.ended(); }));
  EXPECT_EQ(run.received, bytes);
  EXPECT_EQ(offers, 2 * int(run.lengths.size()));
}

TEST_F(ReadCycleTest, SuspendedThreadWaitsUntilResumed) {
  const Bytes bytes = pattern(3000);
  CycleRun run(file(bytes), false);
  run.cycle->suspend();
  run.cycle->start();
  spinFor(200);
  EXPECT_TRUE(run.lengths.empty());
  EXPECT_FALSE(run.ended());

  run.cycle->resume();
  ASSERT_TRUE(spinUntil([&] { return run.ended(); }));
  EXPECT_EQ(run.received, bytes);
}

TEST_F(ReadCycleTest, TerminationReleasesASuspendedThreadWithoutFurtherHandOffs) {
  CycleRun run(file(pattern(100000)), false);
  run.afterBlock = [&] { run.cycle->suspend(); };
  run.cycle->start();
  ASSERT_TRUE(spinUntil([&] { return !run.lengths.empty(); }));
  spinFor(50);
  run.cycle->requestTermination();
  ASSERT_TRUE(spinUntil([&] { return run.ended(); }));
  EXPECT_EQ(run.lengths.size(), 1u);
  EXPECT_TRUE(run.cycle->wait(QDeadlineTimer(5000)));
}

// ---- Progress text ----

TEST(PlaybackProgressTest, PercentOfWholeKibibytes) {
  struct Case {
    int64_t received, length;
    const char* text;
  };
  const Case cases[] = {
      {0, 0, "File reading... 100%"},
      {0, 1024, "File reading... 100%"},
      {0, 1025, "File reading... 0%"},
      {1023, 2048, "File reading... 0%"},
      {1024, 2048, "File reading... 50%"},
      {1536, 4096, "File reading... 25%"},
      {4096, 4096, "File reading... 100%"},
      // Beyond 2 GiB and 4 GiB.
      {int64_t(1) << 31, int64_t(1) << 32, "File reading... 50%"},
      {3000000000LL, 4000000000LL, "File reading... 74%"},
      {int64_t(5) << 30, int64_t(5) << 30, "File reading... 100%"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(playbackProgressText(c.received, c.length), QString::fromLatin1(c.text))
        << c.received << " of " << c.length;
  }
}

// ---- Playback in the program ----

class PlaybackTest : public ::testing::Test {
 protected:
  PlaybackTest() { QDir::setCurrent(dir.path()); }

  TMainForm& form() { return *app->mainForm; }
  MainFormControls c() { return test::probeControls(form()); }
  TransportFields& t() { return app->transport; }
  Playback& playback() { return *app->playback; }
  QString info() { return c().infoLabel->text(); }

  // Writes `bytes` under `name` in the test directory and makes it the file to play.
  void prepare(const QString& name, P protocol, const Bytes& bytes) {
    writeAll(dir.filePath(name), bytes);
    choose(name, protocol);
  }
  void choose(const QString& name, P protocol) {
    t().receiverProtocol = protocol;
    c().fileLabel->setCaption(name);
  }
  bool waitForStop() {
    return spinUntil([&] { return t().transportState == S::STOP && !playback().currentCycle(); });
  }
  // The thread of the playback running now has handed something over.
  bool waitForBytes(int64_t atLeast = 1) {
    return spinUntil([&] { return t().receivedTotal >= atLeast; });
  }

  void expectControlsFor(S state) {
    const bool playing = state != S::STOP;
    EXPECT_EQ(c().playButton->isEnabled(), state == S::STOP || state == S::FF || state == S::PAUSE);
    EXPECT_EQ(c().rewindButton->isEnabled(), state == S::STOP || state == S::PLAY || state == S::PAUSE);
    EXPECT_EQ(c().pauseButton->isEnabled(), state == S::PLAY || state == S::FF);
    EXPECT_EQ(c().stopButton->isEnabled(), playing);
    EXPECT_EQ(c().synchroButton->isEnabled(), !playing);
    EXPECT_EQ(c().ejectButton->isEnabled(), !playing);
    EXPECT_EQ(c().recordButton->isEnabled(), !playing);
    EXPECT_EQ(c().protComboBox->isEnabled(), !playing);
    EXPECT_EQ(c().portComboBox->isEnabled(), !playing);
    EXPECT_EQ(c().baudComboBox->isEnabled(), !playing);
    if (playing) {
      EXPECT_FALSE(c().rawDataCheckBox->isEnabled());
    }
  }

  CurrentDirectoryGuard cwd;
  QTemporaryDir dir;
  std::unique_ptr<AppContext> app = std::make_unique<AppContext>();
};

struct PlayCase {
  P protocol;
  bool normalSpeed;
  int messages;
};

std::string playCaseName(const ::testing::TestParamInfo<PlayCase>& info) {
  static const char* const names[] = {"Nmea", "Binr", "Binr2"};
  return std::string(names[int(info.param.protocol)]) + (info.param.normalSpeed ? "Normal" : "Fast");
}

class PlaybackDecodeTest : public PlaybackTest, public ::testing::WithParamInterface<PlayCase> {};

TEST_P(PlaybackDecodeTest, PlaysTheWholeFileThroughTheDecodersAndStops) {
  const PlayCase& pc = GetParam();
  const Bytes bytes = stream(pc.protocol, pc.messages);
  const QString name = QStringLiteral("track") + QString::fromLatin1(extension(pc.protocol));
  prepare(name, pc.protocol, bytes);
  // A conversion file of the same name from an earlier run is replaced.
  if (pc.protocol != P::NMEA) writeAll(dir.filePath(QStringLiteral("track.nme")), Bytes{'o', 'l', 'd'});

  if (pc.normalSpeed) {
    playback().PlayButtonClick(true);
    EXPECT_EQ(t().transportState, S::PLAY);
    expectControlsFor(S::PLAY);
  } else {
    playback().RewindButtonClick(true);
    EXPECT_EQ(t().transportState, S::FF);
    expectControlsFor(S::FF);
  }
  ASSERT_NE(playback().currentCycle(), nullptr);
  EXPECT_EQ(playback().currentCycle()->normalSpeed(), pc.normalSpeed);
  ASSERT_TRUE(waitForStop());

  EXPECT_EQ(t().receivedTotal, int64_t(bytes.size()));
  EXPECT_EQ(c().receiveBytesLabel->text(), QString::fromStdString(formatReceivedTotal(int64_t(bytes.size()))));
  EXPECT_EQ(info(), QString());
  expectControlsFor(S::STOP);
  expectDecodedAsDirect(*app, pc.protocol, bytes);
  if (pc.protocol != P::NMEA) {
    EXPECT_NE(readAll(dir.filePath(QStringLiteral("track.nme"))), (Bytes{'o', 'l', 'd'}));
  }
}

INSTANTIATE_TEST_SUITE_P(Protocols, PlaybackDecodeTest,
                         ::testing::Values(PlayCase{P::NMEA, false, 6000}, PlayCase{P::BINR, false, 2000},
                                           PlayCase{P::BINR2, false, 3000}, PlayCase{P::NMEA, true, 8},
                                           PlayCase{P::BINR, true, 4}, PlayCase{P::BINR2, true, 8}),
                         playCaseName);

struct SampleCase {
  const char* file;
  P protocol;
  bool normalSpeed;
  size_t prefix;  // bytes of the sample to play; 0 for all of it
};

class PlaybackSampleTest : public PlaybackTest, public ::testing::WithParamInterface<SampleCase> {};

TEST_P(PlaybackSampleTest, PlaysTheSampleRecording) {
  const SampleCase& sc = GetParam();
  Bytes bytes = readAll(samplesDir() + QLatin1Char('/') + QString::fromLatin1(sc.file));
  if (bytes.empty()) GTEST_SKIP() << sc.file << " is not there";
  if (sc.prefix && sc.prefix < bytes.size()) bytes.resize(sc.prefix);
  // A copy: playing a binary sample writes its conversion file beside it.
  prepare(QString::fromLatin1(sc.file), sc.protocol, bytes);

  if (sc.normalSpeed) {
    playback().PlayButtonClick(true);
  } else {
    playback().RewindButtonClick(true);
  }
  ASSERT_TRUE(waitForStop());
  EXPECT_EQ(t().receivedTotal, int64_t(bytes.size()));
  expectDecodedAsDirect(*app, sc.protocol, bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Samples, PlaybackSampleTest,
    ::testing::Values(SampleCase{"nmea-static.nme", P::NMEA, false, 0}, SampleCase{"binr-static.dat", P::BINR, false, 0},
                      SampleCase{"binr2-static.b2", P::BINR2, false, 0}, SampleCase{"nmea-static.nme", P::NMEA, true, 1500},
                      SampleCase{"binr-static.dat", P::BINR, true, 1500}, SampleCase{"binr2-static.b2", P::BINR2, true, 1500}));

class PlaybackStartTest : public PlaybackTest, public ::testing::WithParamInterface<P> {};

TEST_P(PlaybackStartTest, StartResetsCountersDecodersAndWindows) {
  const P protocol = GetParam();
  prepare(QStringLiteral("start") + QString::fromLatin1(extension(protocol)), protocol, stream(protocol, 40));
  int starts = 0;
  int plotResets = 0;
  QObject::connect(app->playback.get(), &Playback::started, [&] { ++starts; });
  QObject::connect(app->visualForm.get(), &TVisualForm::plotReset, [&] { ++plotResets; });
  t().receivedTotal = 99;
  t().errorCount = 5;
  c().receiveBytesLabel->setCaption(QStringLiteral("9.9 kB"));
  c().errorBytesLabel->setCaption(QStringLiteral("5"));
  app->receiver->nmea.ggaCount = 7;
  app->statistics.count = 3;

  playback().RewindButtonClick(true);

  EXPECT_EQ(info(), QStringLiteral("File reading... 0%"));
  EXPECT_EQ(t().receivedTotal, 0);
  EXPECT_EQ(t().errorCount, 0);
  EXPECT_EQ(c().receiveBytesLabel->text(), QStringLiteral("0 kB"));
  EXPECT_EQ(c().errorBytesLabel->text(), QStringLiteral("0"));
  EXPECT_EQ(app->receiver->nmea.ggaCount, 0u);
  EXPECT_EQ(app->statistics.count, 0);
  EXPECT_EQ(starts, 1);
  EXPECT_EQ(plotResets, 1);
  // A binary file gets its NMEA conversion beside it, open until the end.
  const bool binary = protocol != P::NMEA;
  EXPECT_EQ(app->conversionWriter.isOpen(), binary);
  EXPECT_TRUE(QFileInfo::exists(QDir(dir.path()).filePath(QStringLiteral("start.nme"))));

  ASSERT_TRUE(waitForStop());
  EXPECT_FALSE(app->conversionWriter.isOpen());
  EXPECT_EQ(plotResets, 1);
}

INSTANTIATE_TEST_SUITE_P(Protocols, PlaybackStartTest, ::testing::Values(P::NMEA, P::BINR, P::BINR2));

TEST_F(PlaybackTest, AFileThatDoesNotOpenChangesNothingButInfoLabel) {
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.nme")));
  int resets = 0;
  QObject::connect(app->playback.get(), &Playback::started, [&] { ++resets; });
  for (const char* name : {"missing.nme", "folder.nme", ""}) {
    for (bool fast : {false, true}) {
      SCOPED_TRACE(std::string(name) + (fast ? " fast" : " normal"));
      choose(QString::fromLatin1(name), P::NMEA);
      t().receivedTotal = 99;
      t().errorCount = 5;
      c().infoLabel->setCaption(QString());
      fast ? playback().RewindButtonClick(true) : playback().PlayButtonClick(true);
      EXPECT_EQ(info(), QStringLiteral("File open error"));
      EXPECT_EQ(t().transportState, S::STOP);
      EXPECT_EQ(playback().currentCycle(), nullptr);
      EXPECT_EQ(t().receivedTotal, 99);
      EXPECT_EQ(t().errorCount, 5);
      EXPECT_EQ(resets, 0);
      EXPECT_TRUE(c().playButton->isEnabled());
      EXPECT_FALSE(c().stopButton->isEnabled());
    }
  }
}

TEST_F(PlaybackTest, AnEmptyFileEndsAtOnce) {
  prepare(QStringLiteral("empty.nme"), P::NMEA, Bytes{});
  // Normal play hands nothing over: the progress text stays until the end clears it.
  playback().PlayButtonClick(true);
  ASSERT_TRUE(spinUntil([&] { return info() != QStringLiteral("File reading... 0%"); }));
  EXPECT_EQ(info(), QString());
  ASSERT_TRUE(waitForStop());
  EXPECT_EQ(c().receiveBytesLabel->text(), QStringLiteral("0 kB"));

  // Fast play hands over one empty slice, which the intake counts as a block.
  playback().RewindButtonClick(true);
  ASSERT_TRUE(spinUntil([&] { return info() != QStringLiteral("File reading... 0%"); }));
  EXPECT_EQ(info(), QStringLiteral("File reading... 100%"));
  ASSERT_TRUE(waitForStop());
  EXPECT_EQ(info(), QString());
  EXPECT_EQ(c().receiveBytesLabel->text(), QString::fromStdString(formatReceivedTotal(0)));
  EXPECT_EQ(t().receivedTotal, 0);
}

class PlaybackResumeTest : public PlaybackTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PlaybackResumeTest, PauseHoldsThePlaybackAndResumeGoesOnWhereItStopped) {
  const bool resumeFast = GetParam();
  const Bytes bytes = nmeaStream(8000);
  prepare(QStringLiteral("long.nme"), P::NMEA, bytes);
  // A slice a frame, so that the whole file cannot go in the first frame.
  app->pacer->frameMs = 0;
  playback().RewindButtonClick(true);
  TReadCycle* cycle = playback().currentCycle();
  ASSERT_TRUE(waitForBytes());

  playback().PauseButtonClick();
  EXPECT_EQ(t().transportState, S::PAUSE);
  expectControlsFor(S::PAUSE);
  spinFor(100);
  const int64_t held = t().receivedTotal;
  ASSERT_LT(held, int64_t(bytes.size()));
  spinFor(200);
  EXPECT_EQ(t().receivedTotal, held);
  EXPECT_EQ(t().transportState, S::PAUSE);
  EXPECT_EQ(info(), playbackProgressText(held, int64_t(bytes.size())));

  if (resumeFast) {
    playback().RewindButtonClick(true);
    EXPECT_EQ(t().transportState, S::FF);
  } else {
    playback().PlayButtonClick(true);
    EXPECT_EQ(t().transportState, S::PLAY);
    ASSERT_TRUE(waitForBytes(held + 5));
    playback().RewindButtonClick(true);
  }
  EXPECT_EQ(playback().currentCycle(), cycle);
  ASSERT_TRUE(waitForStop());
  EXPECT_EQ(t().receivedTotal, int64_t(bytes.size()));
  expectDecodedAsDirect(*app, P::NMEA, bytes);
}

INSTANTIATE_TEST_SUITE_P(BothSpeeds, PlaybackResumeTest, ::testing::Bool());

TEST_F(PlaybackTest, PlayAndFastPlaySwitchTheSpeedOfTheSamePlayback) {
  const Bytes bytes = binrStream(3000);
  prepare(QStringLiteral("speed.dat"), P::BINR, bytes);
  app->pacer->frameMs = 0;
  playback().RewindButtonClick(true);
  TReadCycle* cycle = playback().currentCycle();
  ASSERT_TRUE(waitForBytes());

  playback().PlayButtonClick(true);
  EXPECT_EQ(t().transportState, S::PLAY);
  expectControlsFor(S::PLAY);
  EXPECT_EQ(playback().currentCycle(), cycle);
  EXPECT_TRUE(cycle->normalSpeed());
  const int64_t atSwitch = t().receivedTotal;
  ASSERT_TRUE(waitForBytes(atSwitch + TReadCycle::kChunkSize + 10));

  playback().RewindButtonClick(true);
  EXPECT_EQ(t().transportState, S::FF);
  expectControlsFor(S::FF);
  EXPECT_EQ(playback().currentCycle(), cycle);
  EXPECT_FALSE(cycle->normalSpeed());
  ASSERT_TRUE(waitForStop());
  EXPECT_EQ(t().receivedTotal, int64_t(bytes.size()));
  expectDecodedAsDirect(*app, P::BINR, bytes);
}

class PlaybackStopTest : public PlaybackTest, public ::testing::WithParamInterface<S> {};

TEST_P(PlaybackStopTest, StopEndsThePlaybackThread) {
  const S state = GetParam();
  prepare(QStringLiteral("stop.b2"), P::BINR2, binr2Stream(20000));
  c().infoLabel->setCaption(QString());
  state == S::PLAY ? playback().PlayButtonClick(true) : playback().RewindButtonClick(true);
  QPointer<TReadCycle> cycle = playback().currentCycle();
  ASSERT_TRUE(waitForBytes());
  if (state == S::PAUSE) playback().PauseButtonClick();
  ASSERT_EQ(t().transportState, state);

  form().StopButtonClick(true);
  const int64_t atStop = t().receivedTotal;
  EXPECT_EQ(t().transportState, S::STOP);
  EXPECT_EQ(info(), QString());
  EXPECT_EQ(playback().currentCycle(), nullptr);
  ASSERT_TRUE(spinUntil([&] { return cycle.isNull(); }));
  EXPECT_EQ(t().transportState, S::STOP);
  EXPECT_EQ(t().receivedTotal, atStop);
  EXPECT_EQ(info(), QString());
  expectControlsFor(S::STOP);
}

INSTANTIATE_TEST_SUITE_P(PlayingStates, PlaybackStopTest, ::testing::Values(S::PLAY, S::FF, S::PAUSE));

TEST_F(PlaybackTest, TheEndOfAStoppedPlaybackLeavesANewerOneAlone) {
  prepare(QStringLiteral("old.nme"), P::NMEA, nmeaStream(8000));
  const Bytes newer = nmeaStream(3000);
  writeAll(dir.filePath(QStringLiteral("new.nme")), newer);
  playback().RewindButtonClick(true);
  QPointer<TReadCycle> old = playback().currentCycle();
  ASSERT_TRUE(waitForBytes());

  form().StopButtonClick(true);
  choose(QStringLiteral("new.nme"), P::NMEA);
  playback().RewindButtonClick(true);
  // Held, so that only the old thread can end anything meanwhile.
  playback().PauseButtonClick();
  TReadCycle* current = playback().currentCycle();
  ASSERT_NE(current, nullptr);
  ASSERT_TRUE(spinUntil([&] { return old.isNull(); }));
  EXPECT_EQ(t().transportState, S::PAUSE);
  EXPECT_EQ(playback().currentCycle(), current);
  EXPECT_EQ(info(), playbackProgressText(t().receivedTotal, int64_t(newer.size())));

  playback().RewindButtonClick(true);
  ASSERT_TRUE(waitForStop());
  EXPECT_EQ(t().receivedTotal, int64_t(newer.size()));
  expectDecodedAsDirect(*app, P::NMEA, newer);
}

class PlaybackClosingTest : public PlaybackTest, public ::testing::WithParamInterface<S> {};

TEST_P(PlaybackClosingTest, ClosingTheProgramEndsThePlaybackThread) {
  const S state = GetParam();
  prepare(QStringLiteral("close.nme"), P::NMEA, nmeaStream(8000));
  state == S::PLAY ? playback().PlayButtonClick(true) : playback().RewindButtonClick(true);
  QPointer<TReadCycle> cycle = playback().currentCycle();
  ASSERT_TRUE(waitForBytes());
  if (state == S::PAUSE) playback().PauseButtonClick();

  app.reset();
  EXPECT_TRUE(cycle.isNull());
}

INSTANTIATE_TEST_SUITE_P(PlayingStates, PlaybackClosingTest, ::testing::Values(S::PLAY, S::FF, S::PAUSE));

// ---- Open file ----

struct DialogCase {
  P protocol;
  const char* filter;
  const char* chosen;  // file name picked in the dialog
  const char* shown;   // FileLabel afterwards
};

class OpenFileTest : public PlaybackTest, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(OpenFileTest, TheChosenFileBecomesTheFileToPlay) {
  const DialogCase& dc = GetParam();
  t().receiverProtocol = dc.protocol;
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("recordings")));
  const QString folder = QDir(dir.filePath(QStringLiteral("recordings"))).canonicalPath();
  QString title, directory, filter;
  S stateInDialog{};
  playback().openFileDialog = [&](const QString& ti, const QString& di, const QString& fi) {
    title = ti;
    directory = di;
    filter = fi;
    stateInDialog = t().transportState;
    return folder + QLatin1Char('/') + QString::fromLatin1(dc.chosen);
  };

  playback().EjectButtonClick();

  EXPECT_EQ(title, QStringLiteral("Open file:"));
  EXPECT_EQ(QDir(directory).canonicalPath(), QDir(dir.path()).canonicalPath());
  EXPECT_EQ(filter, QString::fromLatin1(dc.filter));
  EXPECT_EQ(stateInDialog, S::OPEN);
  EXPECT_EQ(t().transportState, S::STOP);
  EXPECT_EQ(c().fileLabel->text(), QString::fromLatin1(dc.shown));
  EXPECT_TRUE(t().fileNameFixed);
  EXPECT_EQ(QDir::current().canonicalPath(), folder);

  // Play opens it there, relative to the new current directory.
  const Bytes bytes = stream(dc.protocol, 30);
  writeAll(folder + QLatin1Char('/') + QString::fromLatin1(dc.shown), bytes);
  playback().RewindButtonClick(true);
  ASSERT_TRUE(waitForStop());
  EXPECT_EQ(t().receivedTotal, int64_t(bytes.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Protocols, OpenFileTest,
    ::testing::Values(DialogCase{P::NMEA, "NMEA files (*.nme);;All files (*.*)", "walk", "walk.nme"},
                      DialogCase{P::BINR, "BINR files (*.dat);;All files (*.*)", "drive", "drive.dat"},
                      DialogCase{P::BINR2, "BINR2 files (*.b2);;All files (*.*)", "flight", "flight.b2"},
                      DialogCase{P::BINR2, "BINR2 files (*.b2);;All files (*.*)", "log.raw", "log.raw"}));

TEST_F(PlaybackTest, CancellingTheDialogChangesNothing) {
  c().fileLabel->setCaption(QStringLiteral("before.nme"));
  const QString before = QDir::currentPath();
  playback().openFileDialog = [](const QString&, const QString&, const QString&) { return QString(); };
  playback().EjectButtonClick();
  EXPECT_EQ(c().fileLabel->text(), QStringLiteral("before.nme"));
  EXPECT_FALSE(t().fileNameFixed);
  EXPECT_EQ(QDir::currentPath(), before);
  EXPECT_EQ(t().transportState, S::STOP);
}

// ---- Command line ----

TEST_F(PlaybackTest, TheCommandLineNmeaFileIsFastPlayed) {
  const Bytes bytes = nmeaStream(500);
  writeAll(dir.filePath(QStringLiteral("cmd.nme")), bytes);
  QDir::setCurrent(QDir::rootPath());
  app.reset();
  app = std::make_unique<AppContext>(QStringList{dir.filePath(QStringLiteral("cmd.nme"))});
  app->mainForm->show();
  ASSERT_TRUE(spinUntil([&] { return t().receivedTotal == int64_t(bytes.size()) && t().transportState == S::STOP; }));
  EXPECT_EQ(c().fileLabel->text(), QStringLiteral("cmd.nme"));
  EXPECT_EQ(QDir::current().canonicalPath(), QDir(dir.path()).canonicalPath());
  expectDecodedAsDirect(*app, P::NMEA, bytes);
  app->mainForm->hide();
}

}  // namespace
}  // namespace veltrano
