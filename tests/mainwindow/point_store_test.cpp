// The point store in the running program: the replay thread's order, the
// pause and resumption of playback around a replay, a Clear or a new request
// while a replay runs, and closing the program during one.
#include "mainwindow/point_store.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "../decoding/test_frames.h"
#include "current_directory_guard.h"
#include "displays/visual_form.h"
#include "link/thread_wait.h"
#include "main_form_probe.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "mainwindow/playback.h"
#include "spin_until.h"

namespace veltrano {
namespace {

using test::spinUntil;
using S = TransportState;
constexpr int kTenMetres = 27;  // radius selector position

// ---- The replay thread on its own ----

struct Replay {
  std::vector<double> drawn;  // the heights of the points handed over, in order
  int ends = 0;
};

// A thread over `ring` that records what it hands over; `onPoint` runs on the
// main thread after each point.
std::unique_ptr<TPointCycle> recordingCycle(PointRing& ring, Replay& replay,
                                            std::function<void()> onPoint = [] {}) {
  return std::make_unique<TPointCycle>(
      ring,
      [&ring, &replay, onPoint](int32_t index, uint32_t generation) {
        if (generation != ring.generation()) return false;
        replay.drawn.push_back(ring.point(index).height);
        onPoint();
        return true;
      },
      [&replay](uint32_t) { ++replay.ends; });
}

void endCycle(TPointCycle& cycle) {
  cycle.requestTermination();
  waitServingHandOffs(cycle);
}

struct OrderCase {
  int capacity;
  int added;
  std::vector<double> expected;
};

class PointCycleOrder : public ::testing::TestWithParam<OrderCase> {};

TEST_P(PointCycleOrder, ReplaysOldestFirstAndEndsEachPass) {
  const OrderCase& oc = GetParam();
  PointRing ring;
  ring.maxPoints = oc.capacity;
  ASSERT_TRUE(ring.clearPoints());
  for (int n = 1; n <= oc.added; ++n) ring.addPoint(0, 0, n);
  Replay replay;
  const std::unique_ptr<TPointCycle> cycle = recordingCycle(ring, replay);
  cycle->start();
  for (int pass = 1; pass <= 2; ++pass) {
    cycle->requestPass();
    ASSERT_TRUE(spinUntil([&] { return cycle->idle(); }));
    EXPECT_EQ(replay.ends, pass);
    EXPECT_EQ(replay.drawn, oc.expected) << "pass " << pass;
    replay.drawn.clear();
  }
  endCycle(*cycle);
}

INSTANTIATE_TEST_SUITE_P(Rings, PointCycleOrder,
                         ::testing::Values(OrderCase{3, 0, {}}, OrderCase{3, 2, {1, 2}}, OrderCase{3, 3, {1, 2, 3}},
                                           OrderCase{3, 5, {3, 4, 5}}, OrderCase{4, 9, {6, 7, 8, 9}}));

TEST(PointCycle, PointsAddedAheadOfThePassAreReplayedToo) {
  PointRing ring;
  ring.maxPoints = 10;
  ASSERT_TRUE(ring.clearPoints());
  for (int n = 1; n <= 3; ++n) ring.addPoint(0, 0, n);
  Replay replay;
  int added = 3;
  const std::unique_ptr<TPointCycle> cycle = recordingCycle(ring, replay, [&] {
    if (added < 5) ring.addPoint(0, 0, ++added);
  });
  cycle->start();
  cycle->requestPass();
  ASSERT_TRUE(spinUntil([&] { return cycle->idle(); }));
  EXPECT_EQ(replay.drawn, (std::vector<double>{1, 2, 3, 4, 5}));
  endCycle(*cycle);
}

TEST(PointCycle, ARingClearedDuringAPassIsNotReadAndTheRequestDuringAPassStartsItAgain) {
  PointRing ring;
  ring.maxPoints = 6;
  ASSERT_TRUE(ring.clearPoints());
  for (int n = 1; n <= 6; ++n) ring.addPoint(0, 0, n);
  Replay replay;
  TPointCycle* running = nullptr;
  const std::unique_ptr<TPointCycle> cycle = recordingCycle(ring, replay, [&] {
    // After the second point a new pass is asked for; after the fifth the ring goes.
    if (replay.drawn.size() == 2) running->requestPass();
    if (replay.drawn.size() == 5) ring.clearPoints();
  });
  running = cycle.get();
  cycle->start();
  cycle->requestPass();
  ASSERT_TRUE(spinUntil([&] { return cycle->idle(); }));
  EXPECT_EQ(replay.drawn, (std::vector<double>{1, 2, 1, 2, 3}));
  EXPECT_EQ(replay.ends, 1);
  endCycle(*cycle);
}

// ---- The store in the program ----

// GGA sentences, one position each, enough to keep a normal-speed playback going.
QByteArray ggaStream(int sentences) {
  QByteArray stream;
  char body[128];
  for (int i = 0; i < sentences; ++i) {
    std::snprintf(body, sizeof body, "GPGGA,10%02d%02d.00,5545.%05d,N,03736.93565,E,1,08,0.9,150.0,M,14.6,M,,",
                  (i / 60) % 60, i % 60, i % 100000);
    const std::string sentence = test::nmeaSentence(body);
    stream.append(sentence.data(), qsizetype(sentence.size()));
  }
  return stream;
}

int hitsOf(const TVisualForm& visual) {
  int hits = 0;
  for (const uint8_t count : visual.layers.hitCount) hits += count - 127;
  return hits;
}

class PointStoreTest : public ::testing::Test {
 protected:
  PointStoreTest() {
    QDir::setCurrent(dir.path());
    app->transport.radiusValue = kTenMetres;
    visual().show();
  }

  TVisualForm& visual() { return *app->visualForm; }
  PointStore& store() { return *app->pointStore; }
  TransportFields& t() { return app->transport; }

  // `count` points on a grid of 40 x 40 places about the reference point,
  // 0.64 m apart, all inside the plot at R = 10 m and more.
  void fillRing(int count) {
    for (int i = 0; i < count; ++i)
      app->pointRing.addPoint(visual().refLat + (i % 40 - 20) * 1e-7, visual().refLon + (i / 40 % 40 - 20) * 1e-7, i);
  }
  // Plays a long NMEA file at normal speed (or fast), with a store of `count` points.
  void startPlayback(bool normalSpeed, int count) {
    QFile file(dir.filePath(QStringLiteral("long.nme")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(ggaStream(20000));
    file.close();
    test::probeControls(*app->mainForm).fileLabel->setCaption(QStringLiteral("long.nme"));
    if (normalSpeed) {
      app->playback->PlayButtonClick(true);
    } else {
      app->playback->RewindButtonClick(true);
    }
    ASSERT_EQ(t().transportState, normalSpeed ? S::PLAY : S::FF);
    // Starting the playback emptied the store.
    ASSERT_EQ(app->pointRing.writeIndex(), 0);
    fillRing(count);
  }
  void newScale() { visual().RUpDownClick(true); }
  bool replayOver() { return spinUntil([&] { return store().pointCycle() && store().pointCycle()->idle(); }); }

  test::CurrentDirectoryGuard cwd;
  QTemporaryDir dir;
  std::unique_ptr<AppContext> app = std::make_unique<AppContext>();
};

TEST_F(PointStoreTest, NothingIsStoredOrReplayedBeforeTheFirstClear) {
  EXPECT_EQ(app->pointRing.pointCapacity(), 0);
  EXPECT_FALSE(store().addPoint(0.1, 0.2, 3));
  newScale();
  EXPECT_EQ(store().pointCycle(), nullptr);
}

TEST_F(PointStoreTest, EveryPlottedPositionIsStoredAndClearTakesTheConfiguredCapacity) {
  app->pointRing.maxPoints = 7;
  visual().ClearButtonClick();
  ASSERT_EQ(app->pointRing.pointCapacity(), 7);
  Fix fix;
  fix.latitude = 0.97;
  fix.longitude = 0.66;
  fix.height = 151;
  visual().plotFix(fix, MeanPosition{});
  ASSERT_EQ(app->pointRing.writeIndex(), 1);
  EXPECT_EQ(app->pointRing.point(0).lat, 0.97);
  EXPECT_EQ(app->pointRing.point(0).height, 151);
}

TEST_F(PointStoreTest, AReplayRedrawsEveryStoredPointAndTheMarker) {
  app->pointRing.maxPoints = 300;
  visual().ClearButtonClick();
  fillRing(300);
  newScale();
  ASSERT_TRUE(replayOver());
  // 300 history dots of 12 pixels, and the old marker's from the top-left
  // corner, 5 of whose pixels fall inside the plot.
  EXPECT_EQ(hitsOf(visual()), 300 * 12 + 5);
}

struct ResumeCase {
  const char* name;
  bool normalSpeed;
  bool pausedByUser;  // Pause before the replay
  bool playedByUser;  // Play during the replay
  S during;
  PointStore::ResumeMode mode;
  S after;
};

class ReplayResume : public PointStoreTest, public ::testing::WithParamInterface<ResumeCase> {};

TEST_P(ReplayResume, PlaybackIsPausedForTheReplayAndRestartedAfterIt) {
  const ResumeCase& rc = GetParam();
  app->pointRing.maxPoints = 3000;
  startPlayback(rc.normalSpeed, 3000);
  TReadCycle* playing = app->playback->currentCycle();
  if (rc.pausedByUser) app->playback->PauseButtonClick();
  newScale();
  EXPECT_EQ(t().transportState, rc.during);
  EXPECT_EQ(store().resumeMode(), rc.mode);
  EXPECT_TRUE(playing->suspended());
  if (rc.playedByUser) app->playback->PlayButtonClick(true);
  ASSERT_TRUE(replayOver());
  EXPECT_EQ(t().transportState, rc.after);
  EXPECT_EQ(store().resumeMode(), PointStore::ResumeMode::None);
  EXPECT_EQ(app->playback->currentCycle(), playing);
  EXPECT_EQ(playing->suspended(), rc.after == S::PAUSE);
  EXPECT_EQ(playing->normalSpeed(), rc.after != S::FF);
}

INSTANTIATE_TEST_SUITE_P(
    States, ReplayResume,
    ::testing::Values(ResumeCase{"Play", true, false, false, S::PAUSE, PointStore::ResumeMode::Play, S::PLAY},
                      ResumeCase{"FastPlay", false, false, false, S::PAUSE, PointStore::ResumeMode::FastPlay, S::FF},
                      ResumeCase{"Paused", true, true, false, S::PAUSE, PointStore::ResumeMode::None, S::PAUSE},
                      ResumeCase{"PlayPressedMeanwhile", true, false, true, S::PAUSE, PointStore::ResumeMode::Play,
                                 S::PLAY}),
    [](const ::testing::TestParamInfo<ResumeCase>& info) { return std::string(info.param.name); });

TEST_F(PointStoreTest, AClearDuringAReplayStopsItAndPlaybackGoesOn) {
  app->pointRing.maxPoints = 20000;
  startPlayback(true, 20000);
  newScale();
  ASSERT_TRUE(spinUntil([&] { return hitsOf(visual()) > 0; }));
  visual().ClearButtonClick();
  const QImage empty = visual().layers.plotLayer.copy();
  ASSERT_TRUE(replayOver());
  // Nothing of the old ring, nor of the new one's unwritten entries, and no marker.
  EXPECT_EQ(hitsOf(visual()), 0);
  EXPECT_EQ(visual().layers.plotLayer, empty);
  EXPECT_EQ(t().transportState, S::PLAY);
}

TEST_F(PointStoreTest, ANewScaleDuringAReplayReplaysEveryPointOnTheNewPlot) {
  app->pointRing.maxPoints = 4000;
  visual().ClearButtonClick();
  fillRing(4000);
  newScale();
  ASSERT_TRUE(replayOver());
  const auto whole = visual().layers.hitCount;

  newScale();
  ASSERT_TRUE(spinUntil([&] { return hitsOf(visual()) > 0; }));
  // Back to the first scale while the pass runs.
  visual().RUpDownClick(false);
  ASSERT_TRUE(replayOver());
  EXPECT_EQ(visual().layers.hitCount, whole);
}

class ClosingDuringReplay : public PointStoreTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ClosingDuringReplay, TheReplayThreadEndsWithTheProgram) {
  const bool midPass = GetParam();
  app->pointRing.maxPoints = 20000;
  startPlayback(true, midPass ? 20000 : 50);
  newScale();
  if (midPass) {
    ASSERT_TRUE(spinUntil([&] { return hitsOf(visual()) > 0; }));
    ASSERT_FALSE(store().pointCycle()->idle());
  } else {
    ASSERT_TRUE(replayOver());
  }
  QPointer<TPointCycle> cycle = store().pointCycle();
  app.reset();
  EXPECT_TRUE(cycle.isNull());
}

INSTANTIATE_TEST_SUITE_P(MidPassOrIdle, ClosingDuringReplay, ::testing::Bool());

}  // namespace
}  // namespace veltrano
