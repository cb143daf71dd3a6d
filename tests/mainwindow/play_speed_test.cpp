// Fast play draws the windows once per frame of slices, normal play once per
// byte: the recordings leave every window exactly as normal play leaves them,
// and normal play still repaints after every byte.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <map>
#include <string>
#include <vector>

#include "current_directory_guard.h"
#include "displays/position_form.h"
#include "displays/profile_form.h"
#include "displays/satellites_form.h"
#include "displays/snr_form.h"
#include "displays/statistic_form.h"
#include "displays/visual_form.h"
#include "mainwindow/app_context.h"
#include "mainwindow/frame_pacer.h"
#include "mainwindow/main_form.h"
#include "mainwindow/playback.h"
#include "mainwindow/protocol_switch.h"
#include "mainwindow/read_cycle.h"
#include "mainwindow/window_state.h"
#include "spin_until.h"

namespace veltrano {
namespace {

constexpr int kPlayGuardMs = 300000;  // only a failing test waits this long

struct Recording {
  const char* file;
  ReceiverProtocol protocol;
  int64_t bytes;  // the first bytes of the sample that are played
};

void PrintTo(const Recording& r, std::ostream* out) { *out << r.file; }

std::string recordingName(const ::testing::TestParamInfo<Recording>& info) {
  static const char* const kNames[] = {"Nmea", "Binr", "Binr2"};
  return kNames[int(info.param.protocol)];
}

// What a window shows: its controls as the report reads them, and its picture.
struct Shown {
  QByteArray state;
  QImage picture;
};

// Everything the windows show, and the pictures and figures behind them.
struct WindowsShown {
  std::map<QString, Shown> windows;
  QImage plot, sky, gauges, profile, snr;
  std::vector<uint8_t> hitCounts;
  double meanLat = 0, meanLon = 0, meanHeight = 0, rms2D = 0;
};

class PlaySpeedTest : public ::testing::TestWithParam<Recording> {
 protected:
  // The windows of a fresh program, every tool window shown with the sky view
  // and both gauges on, after playing the recording at one speed.
  WindowsShown play(bool normalSpeed, int* drawings = nullptr) {
    const Recording& r = GetParam();
    AppContext app;
    app.mainForm->show();
    for (ToolWindow window : {ToolWindow::Position, ToolWindow::Statistic, ToolWindow::Satellites, ToolWindow::Visual,
                              ToolWindow::Profile, ToolWindow::SNR})
      app.mainForm->setTicked(window, true);
    const VisualFormControls& visual = app.visualForm->controls();
    for (QCheckBox* box : {visual.satCheckBox, visual.cogCheckBox, visual.sogCheckBox}) box->setChecked(true);
    app.protocolSwitch->selectForFile(r.protocol);
    app.mainForm->fixFileName(QString::fromLatin1(r.file));
    // A frame ends only when the thread has no more chunks ready.
    app.pacer->frameMs = kPlayGuardMs;
    const int before = app.pacer->drawings();

    normalSpeed ? app.playback->PlayButtonClick(true) : app.playback->RewindButtonClick(true);
    EXPECT_TRUE(test::spinUntil(
        [&] { return app.transport.transportState == TransportState::STOP && !app.playback->currentCycle(); },
        kPlayGuardMs));
    EXPECT_EQ(app.transport.receivedTotal, r.bytes);
    if (drawings) *drawings = app.pacer->drawings() - before;

    WindowsShown shown;
    const QWidget* windows[] = {app.mainForm.get(),       app.positionForm.get(), app.statisticForm.get(),
                                app.satellitesForm.get(), app.visualForm.get(),   app.profileForm.get(),
                                app.snrForm.get()};
    for (const QWidget* window : windows) {
      shown.windows[window->objectName()] = {QJsonDocument(windowState(*window)).toJson(),
                                             const_cast<QWidget*>(window)->grab().toImage()};
    }
    const PlotLayers& layers = app.visualForm->layers;
    shown.plot = layers.plotLayer;
    shown.sky = layers.skyLayer;
    shown.gauges = layers.gaugeLayer;
    shown.hitCounts.assign(layers.hitCount.begin(), layers.hitCount.end());
    shown.profile = app.profileForm->profileBitmap;
    shown.snr = app.snrForm->chart();
    const TStatisticForm& statistic = *app.statisticForm;
    shown.meanLat = statistic.meanLat();
    shown.meanLon = statistic.meanLon();
    shown.meanHeight = statistic.meanHeight();
    shown.rms2D = statistic.rms2D();
    return shown;
  }

  void SetUp() override {
    const Recording& r = GetParam();
    QFile sample(QStringLiteral(VELTRANO_SAMPLES_DIR "/") + QString::fromLatin1(r.file));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    QFile copy(dir.filePath(QString::fromLatin1(r.file)));
    ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
    ASSERT_EQ(copy.write(sample.read(r.bytes)), r.bytes);
    QDir::setCurrent(dir.path());
  }

  test::CurrentDirectoryGuard cwd;
  QTemporaryDir dir;
};

// Normal play draws the windows after every byte; fast play once per run of
// slices taken in one go, which with a frame longer than the playback is at
// most once per chunk the thread read, and once more when a chunk came while
// the slices before it were taken.
TEST_P(PlaySpeedTest, FastPlayLeavesEveryWindowAsNormalPlayDoesDrawingThemLessOften) {
  const Recording& r = GetParam();
  int normalDrawings = 0;
  int fastDrawings = 0;
  const WindowsShown normal = play(true, &normalDrawings);
  const WindowsShown fast = play(false, &fastDrawings);
  ASSERT_EQ(fast.windows.size(), normal.windows.size());
  for (const auto& [name, shown] : normal.windows) {
    SCOPED_TRACE(name.toStdString());
    const Shown& other = fast.windows.at(name);
    EXPECT_EQ(other.state.toStdString(), shown.state.toStdString());
    EXPECT_TRUE(other.picture == shown.picture);
  }
  EXPECT_TRUE(fast.plot == normal.plot);
  EXPECT_TRUE(fast.sky == normal.sky);
  EXPECT_TRUE(fast.gauges == normal.gauges);
  EXPECT_EQ(fast.hitCounts, normal.hitCounts);
  EXPECT_TRUE(fast.profile == normal.profile);
  EXPECT_TRUE(fast.snr == normal.snr);
  EXPECT_EQ(fast.meanLat, normal.meanLat);
  EXPECT_EQ(fast.meanLon, normal.meanLon);
  EXPECT_EQ(fast.meanHeight, normal.meanHeight);
  EXPECT_EQ(fast.rms2D, normal.rms2D);
  // The recording plotted positions.
  EXPECT_NE(normal.hitCounts, std::vector<uint8_t>(normal.hitCounts.size(), 127));

  EXPECT_EQ(normalDrawings, r.bytes);
  const int chunks = int(r.bytes / TReadCycle::kChunkSize) + 1;
  EXPECT_GE(fastDrawings, 1);
  EXPECT_LE(fastDrawings, 2 * chunks);
}

INSTANTIATE_TEST_SUITE_P(Samples, PlaySpeedTest,
                         ::testing::Values(Recording{"nmea-static.nme", ReceiverProtocol::NMEA, 40000},
                                           Recording{"binr-static.dat", ReceiverProtocol::BINR, 40000},
                                           Recording{"binr2-static.b2", ReceiverProtocol::BINR2, 40000}),
                         recordingName);

}  // namespace
}  // namespace veltrano
