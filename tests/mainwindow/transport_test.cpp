#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <string>
#include <vector>

#include "control/control_form.h"
#include "link/recording.h"
#include "main_form_probe.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"

namespace veltrano {
namespace {

using S = TransportState;
using P = ReceiverProtocol;

const QColor kBlack(0, 0, 0);
const QColor kLime(0, 255, 0);
const QColor kRed(255, 0, 0);

class TransportTest : public ::testing::Test {
 protected:
  TransportTest() {
    // What Stop asks of the services; they run too, with nothing open.
    QObject::connect(&form(), &TMainForm::searchStopped, [this] { log("search stopped"); });
    QObject::connect(&form(), &TMainForm::playbackStopped, [this] { log("playback stopped"); });
    QObject::connect(&form(), &TMainForm::recordingStopped, [this] { log("recording stopped"); });
    app.sleepMs = [this](int ms) { log("sleep " + std::to_string(ms)); };
    app.alertSound = [this](int frequency, int durationMs) {
      log("sound " + std::to_string(frequency) + " Hz " + std::to_string(durationMs) + " ms");
    };
  }

  void log(const std::string& call) { calls.push_back(call); }
  TMainForm& form() { return *app.mainForm; }
  MainFormControls c() { return test::probeControls(form()); }

  // Puts the form into a state as the action entering it would.
  void enter(S state, P protocol) {
    app.transport.receiverProtocol = protocol;
    form().setTransportState(state);
    form().enableControlsForState(state);
  }

  AppContext app;
  std::vector<std::string> calls;
};

// ---- State icon ----

struct IconCase {
  S state;
  QColor ink;
  std::vector<QPoint> stroke;  // points on the strokes
  std::vector<QPoint> clear;   // points at least three pixels from any stroke
};

const std::vector<IconCase>& iconCases() {
  static const std::vector<IconCase> cases = {
      {S::SYNC,
       kLime,
       {{1, 24}, {1, 12}, {1, 1}, {6, 1}, {12, 1}, {12, 12}, {12, 24}, {18, 24}, {24, 24}, {24, 12}, {24, 1}},
       {{6, 12}, {18, 12}, {6, 20}, {18, 5}}},
      {S::OPEN,
       kLime,
       {{1, 12}, {12, 12}, {23, 12}, {12, 1}, {1, 24}, {12, 24}, {24, 24}, {24, 18}, {12, 18}, {1, 18}},
       {{12, 7}, {12, 21}, {3, 3}, {21, 3}}},
      {S::PLAY, kLime, {{1, 1}, {1, 12}, {1, 23}, {12, 12}}, {{5, 12}, {20, 12}, {20, 5}, {5, 3}}},
      {S::FF,
       kLime,
       {{1, 1}, {1, 12}, {1, 23}, {12, 12}, {13, 1}, {13, 12}, {13, 23}, {24, 12}},
       {{5, 12}, {18, 12}, {20, 22}, {20, 3}}},
      {S::PAUSE,
       kLime,
       {{1, 1},
        {1, 12},
        {1, 23},
        {4, 1},
        {4, 23},
        {8, 1},
        {8, 12},
        {8, 23},
        {17, 1},
        {17, 12},
        {17, 23},
        {24, 1},
        {24, 12},
        {24, 23}},
       {{4, 12}, {12, 12}, {20, 12}}},
      {S::STOP,
       kLime,
       {{1, 1}, {1, 12}, {1, 23}, {12, 1}, {12, 23}, {24, 1}, {24, 12}, {24, 23}},
       {{12, 12}, {6, 6}, {18, 18}, {6, 18}}},
      {S::REC, kRed, {{12, 1}, {1, 12}, {23, 12}, {12, 23}}, {{12, 12}, {1, 1}, {23, 1}, {1, 23}, {23, 23}, {12, 6}}},
  };
  return cases;
}

TEST_F(TransportTest, StateIconIsDrawnStrokeByStroke) {
  for (const IconCase& test : iconCases()) {
    SCOPED_TRACE(int(test.state));
    form().setTransportState(test.state);
    const QImage& icon = form().stateIcon();
    ASSERT_EQ(icon.size(), QSize(25, 25));
    for (QPoint p : test.stroke) EXPECT_EQ(icon.pixelColor(p), test.ink) << p.x() << "," << p.y();
    for (QPoint p : test.clear) EXPECT_EQ(icon.pixelColor(p), kBlack) << p.x() << "," << p.y();
    // Only black and the stroke colour: the strokes are not smoothed.
    for (int y = 0; y < icon.height(); ++y)
      for (int x = 0; x < icon.width(); ++x) {
        const QColor pixel = icon.pixelColor(x, y);
        ASSERT_TRUE(pixel == kBlack || pixel == test.ink) << x << "," << y << " " << pixel.name().toStdString();
      }
    // What the information panel shows is the icon.
    EXPECT_EQ(c().actionImage->pixmap().toImage().convertToFormat(icon.format()), icon);
  }
}

TEST_F(TransportTest, StateWordColourAndTitle) {
  c().portComboBox->addItem(QStringLiteral("COM3     GPS receiver"));
  struct Case {
    S state;
    const char* port;
    const char* word;
    QColor color;
    const char* title;
  } cases[] = {
      {S::SYNC, "NONE", "SYNC", kLime, "VELTRANO - SYNC"},
      {S::OPEN, "NONE", "OPEN", kLime, "VELTRANO - OPEN"},
      {S::PLAY, "NONE", "PLAY", kLime, "VELTRANO - PLAY"},
      {S::FF, "NONE", "  FF", kLime, "VELTRANO - FF"},
      {S::PAUSE, "NONE", "PAUSE", kLime, "VELTRANO - PAUSE"},
      {S::STOP, "NONE", "STOP", kLime, "VELTRANO - STOP"},
      {S::REC, "COM3     GPS receiver", " REC", kRed, "VELTRANO - COM3"},
      {S::REC, "NONE", " REC", kRed, "VELTRANO - "},
      {S::STOP, "NONE", "STOP", kLime, "VELTRANO - STOP"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.title);
    c().portComboBox->setCurrentText(QString::fromLatin1(test.port));
    form().setTransportState(test.state);
    EXPECT_EQ(app.transport.transportState, test.state);
    EXPECT_EQ(c().actionLabel->text(), QString::fromLatin1(test.word));
    EXPECT_EQ(c().actionLabel->textColor(), test.color);
    EXPECT_EQ(c().actionLabel->pos(), QPoint(6, 34));
    EXPECT_EQ(form().windowTitle(), QString::fromLatin1(test.title));
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QString::fromLatin1(test.title));
  }
}

TEST_F(TransportTest, ValueThatIsNoStateShowsOnlyABlackIcon) {
  form().setTransportState(S::REC);
  form().setTransportState(static_cast<S>(0));
  const QImage& icon = form().stateIcon();
  for (int y = 0; y < icon.height(); ++y)
    for (int x = 0; x < icon.width(); ++x) ASSERT_EQ(icon.pixelColor(x, y), kBlack) << x << "," << y;
  EXPECT_EQ(c().actionLabel->text(), QStringLiteral(" REC"));
  EXPECT_EQ(c().actionLabel->textColor(), kLime);
  EXPECT_EQ(form().windowTitle(), QStringLiteral("VELTRANO - "));
}

TEST_F(TransportTest, PortNameIsTheTextUpToTheFirstSpace) {
  struct Case {
    const char* entry;
    const char* name;
  } cases[] = {{"NONE", ""}, {"COM3   USB", "COM3"}, {"ttyUSB0 x y", "ttyUSB0"}, {" lead", ""}};
  for (const Case& test : cases) {
    c().portComboBox->clear();
    c().portComboBox->addItem(QString::fromLatin1(test.entry));
    EXPECT_EQ(form().portName(), QString::fromLatin1(test.name)) << test.entry;
  }
}

// ---- Control enabling ----

// Order: Synchro, Eject, Play, Fast play, Pause, Stop, Record, Prot, Port, Baud,
// DBG data, CONTROL; '1' on, '0' off, '-' left as it was.
std::string enabling(const MainFormControls& c) {
  const QWidget* controls[] = {c.synchroButton, c.ejectButton,  c.playButton,      c.rewindButton,
                               c.pauseButton,   c.stopButton,   c.recordButton,    c.protComboBox,
                               c.portComboBox,  c.baudComboBox, c.rawDataCheckBox, c.controlCheckBox};
  std::string flags;
  for (const QWidget* w : controls) flags += w->isEnabled() ? '1' : '0';
  return flags;
}

void setAllEnabled(const MainFormControls& c, bool on) {
  QWidget* controls[] = {c.synchroButton, c.ejectButton,  c.playButton,      c.rewindButton,
                         c.pauseButton,   c.stopButton,   c.recordButton,    c.protComboBox,
                         c.portComboBox,  c.baudComboBox, c.rawDataCheckBox, c.controlCheckBox};
  for (QWidget* w : controls) w->setEnabled(on);
}

std::string resolve(const std::string& row, char kept) {
  std::string flags = row;
  for (char& f : flags)
    if (f == '-') f = kept;
  return flags;
}

TEST_F(TransportTest, DesignTimeEnabling) { EXPECT_EQ(enabling(c()), "111100011110"); }

TEST_F(TransportTest, EnteringAStateEnablesItsControls) {
  struct Case {
    S state;
    P protocol;
    const char* row;
  } cases[] = {
      {S::SYNC, P::NMEA, "00000100000-"},   {S::PLAY, P::BINR, "00011100000-"},  {S::FF, P::BINR, "00101100000-"},
      {S::PAUSE, P::BINR2, "00110100000-"}, {S::REC, P::BINR, "000001000001"},   {S::STOP, P::NMEA, "1111001111--"},
      {S::STOP, P::BINR, "11110011111-"},   {S::STOP, P::BINR2, "11110011111-"}, {S::OPEN, P::BINR, "------------"},
  };
  for (const Case& test : cases) {
    for (bool before : {false, true}) {
      SCOPED_TRACE(std::to_string(int(test.state)) + " protocol " + std::to_string(int(test.protocol)) +
                   (before ? " from all on" : " from all off"));
      setAllEnabled(c(), before);
      app.transport.receiverProtocol = test.protocol;
      form().enableControlsForState(test.state);
      EXPECT_EQ(enabling(c()), resolve(test.row, before ? '1' : '0'));
    }
  }
}

// ---- Stop ----

TEST_F(TransportTest, StopTearsDownEachState) {
  struct Case {
    S state;
    P protocol;
    bool debugData;
    std::vector<std::string> calls;
  } cases[] = {
      {S::SYNC, P::BINR, false, {"search stopped"}},
      {S::PLAY, P::NMEA, false, {"playback stopped"}},
      {S::FF, P::BINR2, false, {"playback stopped"}},
      {S::PAUSE, P::BINR, false, {"playback stopped"}},
      {S::REC, P::NMEA, true, {"recording stopped"}},
      // The recording's closing commands are followed by a wait in binary protocols.
      {S::REC, P::BINR, false, {"sleep 200", "recording stopped"}},
      {S::REC, P::BINR2, true, {"sleep 200", "recording stopped"}},
      {S::OPEN, P::BINR, false, {}},
      {S::STOP, P::BINR, false, {}},
  };
  for (const Case& test : cases) {
    for (bool sender : {false, true}) {
      SCOPED_TRACE(std::to_string(int(test.state)) + " protocol " + std::to_string(int(test.protocol)) +
                   (sender ? " by the user" : " by the program"));
      enter(test.state, test.protocol);
      c().rawDataCheckBox->setChecked(test.debugData);
      calls.clear();
      form().StopButtonClick(sender);
      EXPECT_EQ(calls, test.calls);
      EXPECT_EQ(app.transport.transportState, S::STOP);
      EXPECT_EQ(c().actionLabel->text(), QStringLiteral("STOP"));
      EXPECT_EQ(enabling(c()).substr(0, 10), "1111001111");
      if (test.protocol != P::NMEA) {
        EXPECT_TRUE(c().rawDataCheckBox->isEnabled());
      }
    }
  }
}

TEST_F(TransportTest, StopInSyncByTheUserForgetsTheDevice) {
  for (bool sender : {false, true}) {
    SCOPED_TRACE(sender ? "user" : "program");
    enter(S::SYNC, P::BINR);
    c().synchroTimer->start();
    c().deviceLabel->setCaption(QStringLiteral("NV08C-CSM"));
    c().infoLabel->setCaption(QStringLiteral("Connection Ok"));
    form().StopButtonClick(sender);
    EXPECT_FALSE(c().synchroTimer->isActive());
    EXPECT_EQ(c().deviceLabel->text(), sender ? QStringLiteral("unknown") : QStringLiteral("NV08C-CSM"));
    EXPECT_EQ(c().infoLabel->text(), sender ? QString() : QStringLiteral("Connection Ok"));
  }
}

TEST_F(TransportTest, StopFromRecordingClosesTheControlWindow) {
  enter(S::REC, P::BINR);
  c().watchTimer->start();
  c().controlCheckBox->setChecked(true);
  ASSERT_TRUE(app.controlForm->isVisible());
  form().StopButtonClick();
  EXPECT_FALSE(c().watchTimer->isActive());
  EXPECT_FALSE(c().controlCheckBox->isChecked());
  EXPECT_FALSE(c().controlCheckBox->isEnabled());
  EXPECT_FALSE(app.controlForm->isVisible());
}

TEST_F(TransportTest, StopOutsideRecordingLeavesTheControlBox) {
  enter(S::PLAY, P::BINR);
  c().controlCheckBox->setEnabled(true);
  c().controlCheckBox->setChecked(true);
  form().StopButtonClick(true);
  EXPECT_TRUE(c().controlCheckBox->isChecked());
  EXPECT_TRUE(c().controlCheckBox->isEnabled());
  EXPECT_TRUE(app.controlForm->isVisible());
  c().controlCheckBox->setChecked(false);
}

TEST_F(TransportTest, StopButtonIsTheUsersStop) {
  enter(S::SYNC, P::NMEA);
  c().infoLabel->setCaption(QStringLiteral("Connection baud: 4800"));
  c().stopButton->click();
  EXPECT_EQ(app.transport.transportState, S::STOP);
  EXPECT_EQ(c().deviceLabel->text(), QStringLiteral("unknown"));
  EXPECT_EQ(c().infoLabel->text(), QString());
}

// ---- Watchdog ----

TEST_F(TransportTest, WatchdogNeverFiresOutsideRecording) {
  for (S state : {S::SYNC, S::OPEN, S::PLAY, S::FF, S::PAUSE, S::STOP}) {
    enter(state, P::BINR);
    app.transport.noDataTicks = 0;
    calls.clear();
    for (int tick = 0; tick < 5; ++tick) app.recording->WatchTimerTimer();
    EXPECT_EQ(app.transport.noDataTicks, 0) << int(state);
    EXPECT_TRUE(calls.empty()) << int(state);
    EXPECT_EQ(app.transport.transportState, state);
  }
}

TEST_F(TransportTest, WatchdogRestartsASilentRecordingOnTheThirdTick) {
  enter(S::REC, P::NMEA);
  app.transport.noDataTicks = 0;
  app.transport.recordAfterSync = false;
  c().infoLabel->setCaption(QStringLiteral("Receive..."));
  app.transport.soundEnabled = true;
  bool flagSetBeforeStop = false;
  const QMetaObject::Connection stopping = QObject::connect(
      &form(), &TMainForm::recordingStopped, [&] { flagSetBeforeStop = app.transport.recordAfterSync; });
  // The search that follows is the synchronisation's; here it is only noted.
  QObject::disconnect(app.recording.get(), &Recording::searchWanted, nullptr, nullptr);
  const QMetaObject::Connection lost =
      QObject::connect(app.recording.get(), &Recording::receiverLost, [this] { log("lost"); });
  const QMetaObject::Connection search =
      QObject::connect(app.recording.get(), &Recording::searchWanted, [this] { log("search"); });
  calls.clear();
  app.recording->WatchTimerTimer();
  app.recording->WatchTimerTimer();
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(app.transport.transportState, S::REC);
  app.recording->WatchTimerTimer();
  // The alert sounds after Stop and before the wait, its 1000 Hz, 100 ms ahead of
  // the note of this test, which listens after it.
  EXPECT_EQ(calls, (std::vector<std::string>{"recording stopped", "sound 1000 Hz 100 ms", "lost", "sleep 500",
                                             "search"}));
  for (const auto& connection : {stopping, lost, search}) QObject::disconnect(connection);
  EXPECT_TRUE(flagSetBeforeStop);
  EXPECT_TRUE(app.transport.recordAfterSync);
  EXPECT_EQ(app.transport.transportState, S::STOP);
  // The program's own Stop keeps the message line.
  EXPECT_EQ(c().infoLabel->text(), QStringLiteral("Receive..."));
}

TEST_F(TransportTest, DataBetweenTicksKeepsTheRecordingGoing) {
  enter(S::REC, P::BINR);
  app.transport.noDataTicks = 0;
  for (int tick = 0; tick < 10; ++tick) {
    app.recording->WatchTimerTimer();
    if (tick % 2 == 1) app.transport.noDataTicks = 0;  // a byte arrived
  }
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(app.transport.transportState, S::REC);
}

TEST_F(TransportTest, WatchTimerRunsTheWatchdog) {
  EXPECT_EQ(c().watchTimer->interval(), 1000);
  EXPECT_FALSE(c().watchTimer->isActive());
  enter(S::REC, P::NMEA);
  app.transport.noDataTicks = 2;
  ASSERT_TRUE(QMetaObject::invokeMethod(c().watchTimer, "timeout"));
  // The recording stopped and its search waits for a receiver on a port that is not there.
  EXPECT_EQ(app.transport.transportState, S::SYNC);
  EXPECT_EQ(c().infoLabel->text(), QStringLiteral("Waiting for the receiver..."));
  EXPECT_TRUE(app.transport.recordAfterSync);
}

}  // namespace
}  // namespace veltrano
