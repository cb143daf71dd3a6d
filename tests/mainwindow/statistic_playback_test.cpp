// Fast-plays the sample recordings with the Statistic and Visual windows shown
// and checks that the window shows the figures veltrano-cli stats prints for
// the same file and settings.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QPixmap>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "../cli/cli_runner.h"
#include "displays/auto_label.h"
#include "displays/statistic_form.h"
#include "mainwindow/app_context.h"
#include "mainwindow/playback.h"
#include "mainwindow/main_form.h"
#include "main_form_probe.h"
#include "util/formatters.h"

namespace veltrano {
namespace {

using test::jsonNumber;
using test::jsonText;

std::string runCli(const std::string& arguments) {
  const test::CliRun run = test::runCli(arguments);
  EXPECT_EQ(run.status, 0) << arguments;
  return run.output;
}



// A window text as the JSON writer escapes it: the degree sign as \u00b0.
std::string jsonEscaped(const QString& text) {
  std::string out;
  for (char c : text.toLatin1().toStdString()) {
    if (uint8_t(c) == 0xB0)
      out += "\\u00b0";
    else
      out += c;
  }
  return out;
}

std::string rmsText(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.3lf", value);
  return text;
}

struct Case {
  const char* file;
  ReceiverProtocol protocol;
  const char* maxVdop;  // VDOPEdit, and the same limit for the command line
};

// Plays a copy in a directory of its own and makes that the current directory:
// playing a binary file writes its NMEA conversion beside it under the same
// base name, which must not replace the NMEA sample.
class StatisticPlayback : public ::testing::TestWithParam<Case> {
 protected:
  StatisticPlayback() : previous_(QDir::currentPath()) {
    std::filesystem::create_directories(dir_);
    QDir::setCurrent(QString::fromStdString(dir_.string()));
  }
  ~StatisticPlayback() override {
    QDir::setCurrent(previous_);
    std::filesystem::remove_all(dir_);
  }

  const std::filesystem::path dir_ =
      std::filesystem::temp_directory_path() / ("veltrano-statistic-playback-" + std::to_string(::getpid()));

 private:
  const QString previous_;
};

TEST_P(StatisticPlayback, WindowShowsTheFiguresOfTheCommandLine) {
  const Case& c = GetParam();
  const std::string sample = std::string(VELTRANO_SAMPLES_DIR) + "/" + c.file;
  ASSERT_TRUE(std::filesystem::exists(sample)) << sample;
  const std::string path = (dir_ / c.file).string();
  std::filesystem::copy_file(sample, path);

  AppContext app;
  TMainForm& main = *app.mainForm;
  TStatisticForm& form = *app.statisticForm;
  const auto label = [&form](const char* name) {
    return form.findChild<AutoLabel*>(QString::fromLatin1(name))->text();
  };
  app.transport.receiverProtocol = c.protocol;
  test::probeControls(main).statisticCheckBox->setChecked(true);
  test::probeControls(main).visualCheckBox->setChecked(true);
  form.findChild<QLineEdit*>(QStringLiteral("VDOPEdit"))->setText(QString::fromLatin1(c.maxVdop));
  test::probeControls(main).fileLabel->setCaption(QString::fromLatin1(c.file));

  app.playback->RewindButtonClick(false);
  ASSERT_EQ(app.transport.transportState, TransportState::FF);
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (app.transport.transportState == TransportState::STOP) loop.quit();
  });
  poll.start(20);
  QTimer::singleShot(300000, &loop, &QEventLoop::quit);  // a hang fails below instead of blocking
  loop.exec();
  ASSERT_EQ(app.transport.transportState, TransportState::STOP) << "playback did not end";

  const std::string json = runCli(std::string("stats --json --max-vdop ") + c.maxVdop + " " + path);
  const double n = jsonNumber(json, "n");
  ASSERT_GT(n, 0) << json;
  EXPECT_EQ(label("NLabel").toStdString(), std::to_string(int64_t(n)));
  EXPECT_EQ(label("NallLabel").toStdString(), std::to_string(int64_t(jsonNumber(json, "nall"))));
  EXPECT_EQ(label("NanomLabel").toStdString(), std::to_string(int64_t(jsonNumber(json, "nanom"))));
  EXPECT_EQ(jsonEscaped(label("LatLabel")), jsonText(json, "lat_text"));
  EXPECT_EQ(jsonEscaped(label("LonLabel")), jsonText(json, "lon_text"));
  EXPECT_EQ(label("AltLabel").toStdString(), jsonText(json, "height_text"));
  EXPECT_EQ(label("rms2DLabel").toStdString(), rmsText(jsonNumber(json, "rms2d_m")));
  EXPECT_EQ(label("rmsHLabel").toStdString(), rmsText(jsonNumber(json, "rmsh_m")));
  EXPECT_EQ(label("rmsVLabel").toStdString(), rmsText(jsonNumber(json, "rmsv")));
  // The JSON numbers carry twelve significant digits.
  EXPECT_NEAR(form.meanLat() * 180 / kPi, jsonNumber(json, "mean_lat_deg"), 1e-9);
  EXPECT_NEAR(form.meanLon() * 180 / kPi, jsonNumber(json, "mean_lon_deg"), 1e-9);
  EXPECT_NEAR(form.meanHeight(), jsonNumber(json, "mean_height_m"), 1e-8);
  EXPECT_NEAR(form.rms2D(), jsonNumber(json, "rms2d_m"), 1e-10);
  EXPECT_NEAR(form.rmsH(), jsonNumber(json, "rmsh_m"), 1e-10);
  EXPECT_NEAR(form.rmsV(), jsonNumber(json, "rmsv"), 1e-10);

  if (const char* dir = std::getenv("VELTRANO_GRAB_DIR")) {
    const QString name = QStringLiteral("statistic_after_%1.png").arg(QString::fromLatin1(c.file));
    EXPECT_TRUE(form.grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(name)));
  }
}

INSTANTIATE_TEST_SUITE_P(Samples, StatisticPlayback,
                         ::testing::Values(Case{"nmea-static.nme", ReceiverProtocol::NMEA, "0.0"},
                                           Case{"binr-static.dat", ReceiverProtocol::BINR, "0.7"},
                                           Case{"binr2-static.b2", ReceiverProtocol::BINR2, "0.7"}),
                         [](const ::testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.file).substr(std::string(info.param.file).find('.') + 1);
                         });

}  // namespace
}  // namespace veltrano
