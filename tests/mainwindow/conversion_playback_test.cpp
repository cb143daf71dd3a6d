// Fast playback of the bundled BINR and BINR2 recordings writes the same NMEA
// conversion as veltrano-cli convert, and the tool's NMEA decoder reads it
// without an error.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "../cli/cli_runner.h"
#include "displays/auto_label.h"
#include "mainwindow/app_context.h"
#include "mainwindow/playback.h"
#include "mainwindow/main_form.h"
#include "main_form_probe.h"

namespace veltrano {
namespace {

namespace fs = std::filesystem;
using test::CliRun;
using test::readFile;

CliRun runCli(const std::string& arguments) { return test::runCli(arguments, true); }


struct Recording {
  ReceiverProtocol protocol;
  const char* name;
};

class ConversionPlayback : public ::testing::TestWithParam<Recording> {
 protected:
  ConversionPlayback() {
    fs::create_directories(dir);
    QDir::setCurrent(QString::fromStdString(dir.string()));
  }
  ~ConversionPlayback() override {
    QDir::setCurrent(previousDirectory);
    fs::remove_all(dir);
  }

  const QString previousDirectory = QDir::currentPath();
  const fs::path dir = fs::temp_directory_path() / ("veltrano-conversion-playback-" + std::to_string(::getpid()));
};

TEST_P(ConversionPlayback, FastPlayWritesWhatTheCommandLineConverterWrites) {
  const Recording recording = GetParam();
  const fs::path sample = fs::path(VELTRANO_SAMPLES_DIR) / recording.name;
  if (!fs::exists(sample)) GTEST_SKIP() << "no " << sample;
  fs::copy_file(sample, dir / recording.name);

  AppContext app;
  TMainForm& main = *app.mainForm;
  app.transport.receiverProtocol = recording.protocol;
  test::probeControls(main).fileLabel->setCaption(QString::fromLatin1(recording.name));
  app.playback->RewindButtonClick(true);
  ASSERT_EQ(app.transport.transportState, TransportState::FF);
  const QDeadlineTimer deadline(60000);
  while (app.transport.transportState != TransportState::STOP && !deadline.hasExpired())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  ASSERT_EQ(app.transport.transportState, TransportState::STOP);

  const fs::path playedPath = dir / fs::path(recording.name).replace_extension(".nme");
  const std::string played = readFile(playedPath);
  ASSERT_FALSE(played.empty());
  const std::string input = (dir / recording.name).string();
  const std::string converted = (dir / "converted.nme").string();
  const CliRun convert = runCli("convert " + input + " " + converted);
  ASSERT_EQ(convert.status, 0) << convert.output;
  EXPECT_TRUE(played == readFile(converted)) << "the played and the converted .nme files differ";

  const CliRun decode = runCli("decode --summary --protocol nmea " + playedPath.string());
  EXPECT_EQ(decode.status, 0);
  EXPECT_NE(decode.output.find("\"errors\":0"), std::string::npos) << decode.output;
}

INSTANTIATE_TEST_SUITE_P(Samples, ConversionPlayback,
                         ::testing::Values(Recording{ReceiverProtocol::BINR, "binr-static.dat"},
                                           Recording{ReceiverProtocol::BINR2, "binr2-static.b2"}),
                         [](const ::testing::TestParamInfo<Recording>& info) {
                           return std::string(info.param.protocol == ReceiverProtocol::BINR ? "Binr" : "Binr2");
                         });

}  // namespace
}  // namespace veltrano
