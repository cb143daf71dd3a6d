// The S/N ratio window in the program: the bars follow each committed fill
// of the satellites-in-view table while the S/N box is ticked, and the chart
// is emptied when a playback starts. Each sample is played and, when
// VELTRANO_GRAB_DIR names a folder, the window is saved there as it ends.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCheckBox>
#include <QDir>
#include <QPixmap>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "../decoding/test_frames.h"
#include "current_directory_guard.h"
#include "displays/picture_box.h"
#include "displays/snr_form.h"
#include "displays/visual_form.h"
#include "main_form_probe.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "mainwindow/playback.h"
#include "spin_until.h"

namespace veltrano {
namespace {

using test::Bytes;

class SnrWindowTest : public ::testing::Test {
 protected:
  TSNRForm& form() { return *app.snrForm; }
  const QImage& shown() { return form().findChild<PictureBox*>(QStringLiteral("SNRImage"))->picture(); }

  void start(ReceiverProtocol protocol, bool snrTicked = true) {
    app.transport.receiverProtocol = protocol;
    test::probeControls(*app.mainForm).snrCheckBox->setChecked(snrTicked);
    app.mainForm->setTransportState(TransportState::PLAY);
  }
  void feed(const Bytes& bytes) { app.intake->receiveBlock(bytes.data(), int32_t(bytes.size())); }
  void feed(const std::string& body) {
    const std::string line = test::nmeaSentence(body);
    app.intake->receiveBlock(reinterpret_cast<const uint8_t*>(line.data()), int32_t(line.size()));
  }

  // The chart a window of its own draws for `satellites` (an empty list: the empty chart).
  static QImage chartOf(const std::vector<SatelliteInView>& satellites) {
    TSNRForm reference;
    reference.redrawSnrChart(satellites);
    return reference.chart();
  }
  void expectShowing(const std::vector<SatelliteInView>& satellites) {
    const QImage expected = chartOf(satellites);
    EXPECT_TRUE(form().chart() == expected);
    EXPECT_TRUE(shown() == expected);
  }

  AppContext app;
};

TEST_F(SnrWindowTest, GsvCycleIsDrawnWhenTheNextGpsGroupBegins) {
  start(ReceiverProtocol::NMEA);
  const char* const cycle[] = {
      "GPGSV,3,1,10,12,40,083,46,05,30,120,41,37,20,200,33,02,10,300,18",
      "GPGSV,3,2,10,25,15,045,09,,12,100,30",  // an empty number: an empty entry
      "GPGSV,3,3,10,31,05,010,",               // no ratio: the label alone
      "GLGSV,2,1,05,70,50,100,38,65,20,250,27",
      "GLGSV,2,2,05,80,10,180,12",
  };
  for (const char* sentence : cycle) {
    feed(std::string(sentence));
    expectShowing({});
  }
  feed(std::string("GPGSV,1,1,01,12,40,083,46"));
  // GPS, then GLONASS, then SBAS, each in ascending numbers; the empty entry takes no column.
  expectShowing({{kSatGps, 2, 18},
                 {kSatGps, 5, 41},
                 {kSatGps, 12, 46},
                 {kSatGps, 25, 9},
                 {kSatGps, 31, 0},
                 {kSatGlonass, 1, 27},
                 {kSatGlonass, 6, 38},
                 {kSatGlonass, 16, 12},
                 {kSatSbas, 124, 33}});
  // The sentence that began the next cycle is not drawn until that cycle ends.
  feed(std::string("GPGSV,1,1,01,07,60,010,44"));
  expectShowing({{kSatGps, 12, 46}});
}

TEST_F(SnrWindowTest, BinaryMessagesAreDrawnInMessageOrder) {
  const auto binrRecord = [](uint8_t system, uint8_t number, uint8_t snr) {
    return Bytes{system, number, 0, 30, 90, 0, snr};
  };
  const auto binr2Record = [](uint8_t system, uint8_t number, uint16_t snr) {
    return Bytes{system, number, 0, 0x2C, 0x01, 0x84, 0x03, uint8_t(snr & 0xFF), uint8_t(snr >> 8)};
  };
  const auto join = [](std::initializer_list<Bytes> records) {
    Bytes all;
    for (const Bytes& r : records) all.insert(all.end(), r.begin(), r.end());
    return all;
  };
  struct Case {
    ReceiverProtocol protocol;
    Bytes frame;
    std::vector<SatelliteInView> bars;
  } cases[] = {
      {ReceiverProtocol::BINR,
       test::binrFrame(0x52, join({binrRecord(1, 35, 40), binrRecord(2, 5, 30), binrRecord(1, 7, 44)})),
       {{kSatGpsBeyond, 3, 40}, {kSatGlonass, 5, 30}, {kSatGps, 7, 44}}},
      // BINR2 ratios in tenths; a system byte of no known system leaves an empty entry.
      {ReceiverProtocol::BINR2,
       test::binr2Frame(0xA0, join({binr2Record(0x02, 9, 455), binr2Record(0x01, 3, 301), binr2Record(0x07, 4, 400),
                                    binr2Record(0x04, 51, 200), binr2Record(0x03, 127, 99)})),
       {{kSatGps, 9, 45}, {kSatGlonass, 3, 30}, {kSatGalileo, 51, 20}, {kSatSbas, 127, 9}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.protocol));
    start(c.protocol);
    feed(c.frame);
    expectShowing(c.bars);
  }
}

TEST_F(SnrWindowTest, UntickedWindowKeepsItsPictureWhileTheSkyViewFillsTheTable) {
  start(ReceiverProtocol::BINR, false);
  app.visualForm->controls().satCheckBox->setChecked(true);
  const std::vector<SatelliteInView> earlier{{kSatGps, 5, 45}};
  form().redrawSnrChart(earlier);
  feed(test::binrFrame(0x52, Bytes{2, 5, 0, 30, 90, 0, 30}));
  ASSERT_EQ(app.visualForm->satellitesInView.displayed().size(), 1u);
  expectShowing(earlier);
}

struct Sample {
  const char* file;
  ReceiverProtocol protocol;
};
void PrintTo(const Sample& s, std::ostream* out) { *out << s.file; }

// Plays a copy in a directory of its own: playing a binary file writes its
// NMEA conversion beside it.
class SnrSamplePlayback : public ::testing::TestWithParam<Sample> {
 protected:
  SnrSamplePlayback() {
    std::filesystem::create_directories(dir_);
    QDir::setCurrent(QString::fromStdString(dir_.string()));
  }
  ~SnrSamplePlayback() override {
    QDir::setCurrent(QDir::tempPath());
    std::filesystem::remove_all(dir_);
  }

  test::CurrentDirectoryGuard guard_;
  const std::filesystem::path dir_ =
      std::filesystem::temp_directory_path() / ("veltrano-snr-playback-" + std::to_string(::getpid()));
};

TEST_P(SnrSamplePlayback, PlaybackStartsFromAnEmptyChartAndShowsTheLastCycle) {
  const Sample& s = GetParam();
  std::filesystem::copy_file(std::string(VELTRANO_SAMPLES_DIR) + "/" + s.file, dir_ / s.file);
  AppContext app;
  TMainForm& main = *app.mainForm;
  TSNRForm& form = *app.snrForm;
  const auto shown = [&form] { return form.findChild<PictureBox*>(QStringLiteral("SNRImage"))->picture(); };
  TSNRForm reference;
  reference.clearSnrChart();
  const QImage empty = reference.chart();

  app.transport.receiverProtocol = s.protocol;
  test::probeControls(main).snrCheckBox->setChecked(true);
  test::probeControls(main).fileLabel->setCaption(QString::fromLatin1(s.file));
  form.redrawSnrChart(std::vector<SatelliteInView>{{kSatGps, 5, 45}});
  ASSERT_FALSE(form.chart() == empty);

  app.playback->RewindButtonClick(false);
  ASSERT_EQ(app.transport.transportState, TransportState::FF);
  EXPECT_TRUE(form.chart() == empty);
  EXPECT_TRUE(shown() == empty);
  ASSERT_TRUE(test::spinUntil([&] { return app.transport.transportState == TransportState::STOP; }, 300000));

  // The last committed table, as the router passed it on.
  const std::span<const SatelliteInView> last = app.visualForm->satellitesInView.displayed();
  ASSERT_GT(last.size(), 4u);
  reference.redrawSnrChart(last);
  EXPECT_TRUE(form.chart() == reference.chart());
  EXPECT_TRUE(shown() == reference.chart());
  if (const char* grabDir = std::getenv("VELTRANO_GRAB_DIR")) {
    const QString name = QStringLiteral("snr_%1.png").arg(QString::fromLatin1(s.file).replace('.', '_'));
    EXPECT_TRUE(form.grab().save(QDir(QString::fromLocal8Bit(grabDir)).filePath(name)));
  }
}

INSTANTIATE_TEST_SUITE_P(Samples, SnrSamplePlayback,
                         ::testing::Values(Sample{"nmea-static.nme", ReceiverProtocol::NMEA},
                                           Sample{"binr-static.dat", ReceiverProtocol::BINR},
                                           Sample{"binr2-static.b2", ReceiverProtocol::BINR2}));

}  // namespace
}  // namespace veltrano
