// veltrano-cli report against the program: the texts it reports for the
// Position and Statistic windows are those the program shows after the same
// playback, its pictures have their windows' sizes, --ref-statistic centres
// the scatter on the mean, and the state carries the accuracy figures of
// veltrano-cli stats.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <filesystem>
#include <string>

#include "../cli/cli_runner.h"
#include "displays/position_form.h"
#include "displays/profile_form.h"
#include "displays/satellites_form.h"
#include "displays/snr_form.h"
#include "displays/statistic_form.h"
#include "displays/visual_form.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "mainwindow/playback.h"
#include "mainwindow/protocol_switch.h"
#include "mainwindow/window_state.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;

class ReportCli : public ::testing::Test {
 protected:
  ReportCli() { fs::create_directories(dir); }
  ~ReportCli() override {
    QDir::setCurrent(previous);
    fs::remove_all(dir);
  }
  std::string file(const char* name) const { return (dir / name).string(); }
  QJsonObject readState(const std::string& path) {
    QFile in(QString::fromStdString(path));
    EXPECT_TRUE(in.open(QIODevice::ReadOnly));
    return QJsonDocument::fromJson(in.readAll()).object();
  }
  // The state's accuracy figures are those veltrano-cli stats prints with the same options.
  void expectStatsFigures(const QJsonObject& state, const std::string& statsArguments) {
    const test::CliRun stats = test::runCli("stats --json " + statsArguments);
    ASSERT_EQ(stats.status, 0);
    const QJsonObject accuracy = state[QStringLiteral("accuracy")].toObject();
    for (const char* key : {"cep50_m", "cep95_m", "drms2_m", "v50_m", "v95_m", "hmax_m"}) {
      const double expected = test::jsonNumber(stats.output, key);
      EXPECT_GT(expected, 0) << key;
      EXPECT_NEAR(accuracy[QString::fromLatin1(key)].toDouble(-1), expected, 1e-9 * expected) << key;
    }
  }

  const QString previous = QDir::currentPath();
  const fs::path dir = fs::temp_directory_path() / ("veltrano-report-" + std::to_string(::getpid()));
};

struct Sample {
  const char* name;
  ReceiverProtocol protocol;
};

class ReportSample : public ReportCli, public ::testing::WithParamInterface<Sample> {};

TEST_P(ReportSample, ReportsWhatTheProgramShows) {
  const Sample sample = GetParam();
  const fs::path source = fs::path(VELTRANO_SAMPLES_DIR) / sample.name;
  if (!fs::exists(source)) GTEST_SKIP() << "no " << source;
  const test::CliRun run = test::runCli("report --ref-statistic " + source.string() + " -o " + file("report.png") +
                                            " --sky " + file("sky.png") + " --snr " + file("snr.png") +
                                            " --state " + file("state.json"),
                                        true);
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(QImage(QString::fromStdString(file("report.png"))).size(), QSize(421, 307));
  EXPECT_EQ(QImage(QString::fromStdString(file("sky.png"))).size(), QSize(307, 307));
  const QJsonObject state = readState(file("state.json"));
  expectStatsFigures(state, source.string());

  // The program, its windows shown, plays the same recording.
  fs::copy_file(source, dir / sample.name);
  QDir::setCurrent(QString::fromStdString(dir.string()));
  AppContext app;
  for (ToolWindow window : {ToolWindow::Position, ToolWindow::Statistic, ToolWindow::Satellites, ToolWindow::Visual})
    app.mainForm->setTicked(window, true);
  app.protocolSwitch->selectForFile(sample.protocol);
  app.mainForm->fixFileName(QString::fromLatin1(sample.name));
  app.playback->RewindButtonClick(false);
  const QDeadlineTimer deadline(60000);
  while (app.transport.transportState != TransportState::STOP && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  ASSERT_EQ(app.transport.transportState, TransportState::STOP);
  EXPECT_EQ(state[QStringLiteral("TPositionForm")].toObject(), windowState(*app.positionForm));
  EXPECT_EQ(state[QStringLiteral("TStatisticForm")].toObject(), windowState(*app.statisticForm));
  EXPECT_EQ(QImage(QString::fromStdString(file("snr.png"))).size(), app.snrForm->size());

  // With the reference on the mean, the mean lies within centimetres of it.
  const QJsonObject visual = state[QStringLiteral("TVisualForm")].toObject();
  for (const char* label : {"dMbLabel", "dMlLabel"}) {
    const QString text = visual[QString::fromLatin1(label)].toObject()[QStringLiteral("text")].toString();
    EXPECT_LT(std::fabs(text.section(QLatin1Char(' '), 0, 0).toDouble()), 0.05) << label << " " << text.toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(Samples, ReportSample,
                         ::testing::Values(Sample{"nmea-static.nme", ReceiverProtocol::NMEA},
                                           Sample{"binr-static.dat", ReceiverProtocol::BINR},
                                           Sample{"binr2-static.b2", ReceiverProtocol::BINR2}),
                         [](const ::testing::TestParamInfo<Sample>& info) {
                           return std::string(info.param.name).substr(0, std::string(info.param.name).find('-'));
                         });

// The group picture holds the main window and every tool window where the
// program tiles them: each window's area is drawn, the gaps between are clear.
TEST_F(ReportCli, GroupPictureHoldsEveryWindowWhereTheTilingPutsIt) {
  const fs::path source = fs::path(VELTRANO_SAMPLES_DIR) / "binr2-static.b2";
  const test::CliRun run = test::runCli("report " + source.string() + " --group " + file("group.png"), true);
  ASSERT_EQ(run.status, 0) << run.output;
  const QImage picture(QString::fromStdString(file("group.png")));

  AppContext app;
  app.mainForm->show();
  for (ToolWindow window : {ToolWindow::Position, ToolWindow::Statistic, ToolWindow::Satellites, ToolWindow::Visual,
                            ToolWindow::Profile, ToolWindow::SNR})
    app.mainForm->setTicked(window, true);
  const QWidget* windows[] = {app.mainForm.get(),       app.positionForm.get(), app.statisticForm.get(),
                              app.satellitesForm.get(), app.visualForm.get(),   app.profileForm.get(),
                              app.snrForm.get()};
  QRect area;
  for (const QWidget* window : windows) {
    ASSERT_TRUE(window->isVisible()) << window->objectName().toStdString();
    area |= window->geometry();
  }
  ASSERT_EQ(picture.size(), area.size());
  for (int y = 0; y < area.height(); y += 7) {
    for (int x = 0; x < area.width(); x += 7) {
      const QPoint at = area.topLeft() + QPoint(x, y);
      const bool covered = std::any_of(std::begin(windows), std::end(windows),
                                       [&](const QWidget* window) { return window->geometry().contains(at); });
      ASSERT_EQ(qAlpha(picture.pixel(x, y)), covered ? 255 : 0) << "at " << x << "," << y;
    }
  }
}

TEST_F(ReportCli, FiguresAreAboutTheReferenceAndDrawnBelowTheLines) {
  const std::string sample = (fs::path(VELTRANO_SAMPLES_DIR) / "binr-static.dat").string();
  if (!fs::exists(sample)) GTEST_SKIP() << "no " << sample;
  const std::string ref = "--ref 55.75222,37.61556,150 --max-hdop 2.5 ";
  const test::CliRun run =
      test::runCli("report " + ref + sample + " -o " + file("r.png") + " --state " + file("s.json"));
  ASSERT_EQ(run.status, 0) << run.output;
  expectStatsFigures(readState(file("s.json")), ref + sample);
  // The six accuracy lines below the fourteen others hold ink.
  const QImage report(QString::fromStdString(file("r.png")));
  int inked = 0;
  for (int y = 15 * 14; y < 307; ++y)
    for (int x = 311; x < 421; ++x) inked += report.pixel(x, y) == qRgb(0, 0, 0);
  EXPECT_GT(inked, 6 * 20);
}

TEST_F(ReportCli, RefusesWhatMakesNoReport) {
  const std::string sample = (fs::path(VELTRANO_SAMPLES_DIR) / "binr-static.dat").string();
  const struct {
    std::string arguments;
    int status;
  } cases[] = {
      {"report " + sample, 2},                                     // no output asked for
      {"report -o " + file("r.png"), 2},                          // no recording
      {"report --ref 91,0,0 " + sample + " -o " + file("r.png"), 2},
      {"report --ref 1,2,3 --ref-statistic " + sample + " -o " + file("r.png"), 2},
      {"report --radius 99 " + sample + " -o " + file("r.png"), 2},
      {"report " + file("missing.dat") + " -o " + file("r.png"), 1},
      {"report " + sample + " -o " + file("missing/r.png"), 1},
  };
  for (const auto& c : cases) EXPECT_EQ(test::runCli(c.arguments).status, c.status) << c.arguments;
  EXPECT_FALSE(fs::exists(file("r.png")));
}

}  // namespace
}  // namespace veltrano
