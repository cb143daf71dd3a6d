// The Profile window in the program: it takes the heights the Visual window
// plots while its box is ticked, empties with the Visual window's plot, and
// keeps its scale position in the main window's fields.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "current_directory_guard.h"
#include "displays/auto_label.h"
#include "displays/plot_image.h"
#include "displays/profile_form.h"
#include "displays/up_down.h"
#include "displays/visual_form.h"
#include "main_form_probe.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "mainwindow/playback.h"
#include "spin_until.h"

namespace veltrano {
namespace {

constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kOlive = qRgb(128, 128, 0);
constexpr const char* kSample = "binr-static.dat";

int countOf(const QImage& image, QRgb colour) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) count += image.pixel(x, y) == colour;
  return count;
}

// The chart after a reset: black, and the three grid rows across the width.
bool emptyChart(const QImage& image) {
  return countOf(image, kWhite) == 0 && countOf(image, kOlive) == 3 * image.width();
}

// Plays a copy of the BINR sample in a directory of its own, which is made the
// current directory: playback writes the NMEA conversion beside the file.
class ProfileWindowTest : public ::testing::Test {
 protected:
  ProfileWindowTest() {
    std::filesystem::create_directories(dir_);
    QDir::setCurrent(QString::fromStdString(dir_.string()));
    QObject::connect(app.visualForm.get(), &TVisualForm::heightPlotted,
                     [this](double belowReference) { plotted.push_back(belowReference); });
    app.transport.receiverProtocol = ReceiverProtocol::BINR;
  }
  ~ProfileWindowTest() override { std::filesystem::remove_all(dir_); }

  MainFormControls controls() { return test::probeControls(*app.mainForm); }
  const QImage& chart() { return app.profileForm->findChild<PlotImage*>(QStringLiteral("AltImage"))->picture(); }
  QString plusText() { return app.profileForm->findChild<AutoLabel*>(QStringLiteral("PlusLabel"))->text(); }

  void play() {
    const std::string sample = std::string(VELTRANO_SAMPLES_DIR) + "/" + kSample;
    ASSERT_TRUE(std::filesystem::exists(sample)) << sample;
    if (!std::filesystem::exists(dir_ / kSample)) std::filesystem::copy_file(sample, dir_ / kSample);
    controls().fileLabel->setCaption(QString::fromLatin1(kSample));
    app.playback->RewindButtonClick(false);
    ASSERT_EQ(app.transport.transportState, TransportState::FF);
    // The limit only keeps a hang from blocking the run.
    ASSERT_TRUE(test::spinUntil([this] { return app.transport.transportState == TransportState::STOP; }, 240000))
        << "playback did not end";
  }

  test::CurrentDirectoryGuard directory_;
  const std::filesystem::path dir_ =
      std::filesystem::temp_directory_path() / ("veltrano-profile-window-" + std::to_string(::getpid()));
  AppContext app;
  // Every height the Visual window plotted, in order.
  std::vector<double> plotted;
};

// With the Profile box ticked the chart is drawn from exactly the heights the
// Visual window plotted since playback started; unticked, it stays empty.
TEST_F(ProfileWindowTest, TakesThePlottedHeightsWhileItsBoxIsTicked) {
  // The sample's heights are about 150 m below the zero reference height: the
  // 200 m scale keeps them inside the chart.
  app.transport.maxAltValue = 19;
  for (const bool profileTicked : {false, true}) {
    SCOPED_TRACE(profileTicked ? "ticked" : "unticked");
    controls().statisticCheckBox->setChecked(true);
    controls().visualCheckBox->setChecked(true);
    // Shown once, the window has the 200 m scale whether it stays or not.
    controls().profileCheckBox->setChecked(true);
    controls().profileCheckBox->setChecked(profileTicked);
    EXPECT_EQ(app.profileForm->isVisible(), profileTicked);
    // Points from before the playback, which its start must clear away.
    for (double delta : {-190.0, 0.0, 190.0}) app.profileForm->addProfilePoint(delta);
    plotted.clear();

    play();
    ASSERT_GT(plotted.size(), 10u);
    if (!profileTicked) {
      EXPECT_TRUE(emptyChart(chart()));
      continue;
    }
    EXPECT_EQ(plusText(), QStringLiteral("+200 m"));
    int32_t position = 19;
    TProfileForm expected(position);
    expected.show();
    for (double delta : plotted) expected.addProfilePoint(delta);
    EXPECT_EQ(chart(), expected.profileBitmap);
    // The newest height, at the right edge.
    const int row = int(32 * plotted.back() / 200 + 32);
    ASSERT_GE(row, 0);
    EXPECT_EQ(chart().pixel(727, row), kWhite);

    if (const char* dir = std::getenv("VELTRANO_GRAB_DIR")) {
      EXPECT_TRUE(app.profileForm->grab().save(QDir(QString::fromLocal8Bit(dir)).filePath("profile_after_binr.png")));
    }
  }
}

// The Visual window's reset empties the profile too, ticked or not.
TEST_F(ProfileWindowTest, EmptiesWithTheVisualPlot) {
  controls().profileCheckBox->setChecked(true);
  for (double delta : {-0.5, 0.25, 0.0}) app.profileForm->addProfilePoint(delta);
  ASSERT_FALSE(emptyChart(chart()));
  app.visualForm->resetPlot();
  EXPECT_TRUE(emptyChart(chart()));

  controls().profileCheckBox->setChecked(false);
  app.profileForm->addProfilePoint(0.25);
  ASSERT_FALSE(emptyChart(chart()));
  app.visualForm->resetPlot();
  EXPECT_TRUE(emptyChart(chart()));
}

// The scale position comes from the main window's fields and goes back there.
TEST_F(ProfileWindowTest, ScalePositionLivesInTheMainWindow) {
  app.transport.maxAltValue = 12;
  controls().profileCheckBox->setChecked(true);
  EXPECT_EQ(plusText(), QStringLiteral("+40 m"));
  auto* upDown = app.profileForm->findChild<UpDown*>(QStringLiteral("maxAltUpDown"));
  ASSERT_NE(upDown, nullptr);
  for (QToolButton* arrow : upDown->findChildren<QToolButton*>())
    if (arrow->arrowType() == Qt::UpArrow) arrow->click();
  EXPECT_EQ(app.transport.maxAltValue, 14);
  EXPECT_EQ(plusText(), QStringLiteral("+60 m"));

  controls().profileCheckBox->setChecked(false);
  app.transport.maxAltValue = 4;
  controls().profileCheckBox->setChecked(true);
  EXPECT_EQ(plusText(), QStringLiteral("+5 m"));
}

}  // namespace
}  // namespace veltrano
