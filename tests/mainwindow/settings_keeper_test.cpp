// veltrano.ini through the program: what one run leaves, the next one starts
// with; a file named on the command line brings its folder's settings.
#include "mainwindow/settings_keeper.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fstream>

#include "current_directory_guard.h"
#include "displays/position_form.h"
#include "displays/statistic_form.h"
#include "displays/visual_form.h"
#include "main_form_probe.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "mainwindow/protocol_switch.h"
#include "mainwindow/sound_alert.h"

namespace veltrano {
namespace {

class SettingsKeeperTest : public ::testing::Test {
 protected:
  SettingsKeeperTest() { QDir::setCurrent(dir.path()); }
  void writeFile(const std::string& text) const {
    std::ofstream(QDir(dir.path()).filePath(QStringLiteral("veltrano.ini")).toStdString()) << text;
  }

  test::CurrentDirectoryGuard guard;
  QTemporaryDir dir;
};

TEST_F(SettingsKeeperTest, TheNextRunStartsAsTheLastOneEnded) {
  {
    AppContext app({}, SettingsUse::File);
    TMainForm& main = *app.mainForm;
    main.show();
    main.move(140, 90);
    main.selectBaudIndex(5);
    app.protocolSwitch->selectForFile(ReceiverProtocol::BINR2);
    test::probeControls(main).rawDataCheckBox->setChecked(true);
    app.transport.radiusValue = 7;
    app.transport.maxAltValue = 3;
    app.visualForm->refLat = 0.97390187212947128;
    app.visualForm->refLon = 0.65652917716003523;
    app.visualForm->refHeight = 151.25;
    app.soundAlert->SoundButtonClick(true);
    app.pointRing.maxPoints = 500;
    main.setTicked(ToolWindow::Position, true);
    main.setTicked(ToolWindow::Statistic, true);
  }
  ASSERT_TRUE(QFile::exists(QStringLiteral("veltrano.ini")));

  AppContext app({}, SettingsUse::File);
  TMainForm& main = *app.mainForm;
  main.show();
  const MainFormControls c = test::probeControls(main);
  EXPECT_EQ(main.pos(), QPoint(140, 90));
  EXPECT_EQ(c.baudComboBox->currentText(), QStringLiteral("115200"));
  EXPECT_EQ(app.transport.receiverProtocol, ReceiverProtocol::BINR2);
  EXPECT_EQ(c.protComboBox->currentIndex(), 2);
  EXPECT_EQ(c.fileLabel->text(), QStringLiteral("rgfile.b2"));
  EXPECT_TRUE(c.rawDataCheckBox->isChecked());
  EXPECT_TRUE(c.rawDataCheckBox->isEnabled());
  EXPECT_EQ(app.transport.radiusValue, 7);
  EXPECT_EQ(app.transport.maxAltValue, 3);
  EXPECT_EQ(app.visualForm->refLat, 0.97390187212947128);
  EXPECT_EQ(app.visualForm->refLon, 0.65652917716003523);
  EXPECT_EQ(app.visualForm->refHeight, 151.25);
  EXPECT_TRUE(app.transport.soundEnabled);
  EXPECT_EQ(app.pointRing.maxPoints, 500);
  EXPECT_EQ(c.soundLabel->text(), QStringLiteral("sound on"));
  EXPECT_TRUE(app.positionForm->isVisible());
  EXPECT_TRUE(app.statisticForm->isVisible());
  // Tiled as a click tiles them: Position under the main window, Statistic under it.
  EXPECT_EQ(app.positionForm->pos(), QPoint(140, 90 + main.height()));
  EXPECT_EQ(app.statisticForm->pos(), QPoint(140, 90 + main.height() + app.positionForm->height()));
  EXPECT_FALSE(c.visualCheckBox->isChecked());
}

// The port, rate and protocol of the command line win over those the last run left.
TEST_F(SettingsKeeperTest, TheCommandLineWinsOverTheSettings) {
  {
    AppContext app({}, SettingsUse::File);
    app.mainForm->show();
    app.mainForm->selectBaudIndex(5);
    app.protocolSwitch->selectForFile(ReceiverProtocol::BINR2);
  }
  AppContext app({}, SettingsUse::File);
  TMainForm& main = *app.mainForm;
  main.setStartLink({QStringLiteral("/dev/pts/9"), 14400, ReceiverProtocol::BINR});
  main.show();
  const MainFormControls c = test::probeControls(main);
  EXPECT_EQ(app.transport.receiverProtocol, ReceiverProtocol::BINR);
  EXPECT_EQ(c.protComboBox->currentIndex(), 1);
  EXPECT_EQ(c.fileLabel->text(), QStringLiteral("rgfile.dat"));
  EXPECT_TRUE(c.baudComboBox->isEditable());  // "custom": 14400 is not listed
  EXPECT_EQ(main.baudText(), QStringLiteral("14400"));
  EXPECT_EQ(main.portName(), QStringLiteral("/dev/pts/9"));
}

TEST_F(SettingsKeeperTest, ACustomRateIsNotRestoredAndBinrStartsWithItsSettings) {
  writeFile("[Port]\nBaudComboBox=9\nProtComboBox=1\nRawDataCheckBox=0\n");
  AppContext app({}, SettingsUse::File);
  app.mainForm->show();
  const MainFormControls c = test::probeControls(*app.mainForm);
  EXPECT_EQ(c.baudComboBox->currentText(), QStringLiteral("4800"));
  EXPECT_FALSE(c.baudComboBox->isEditable());
  EXPECT_EQ(app.transport.receiverProtocol, ReceiverProtocol::BINR);
  EXPECT_EQ(c.fileLabel->text(), QStringLiteral("rgfile.dat"));
  EXPECT_EQ(c.synchroTimer->interval(), 500);
  EXPECT_TRUE(c.rawDataCheckBox->isEnabled());
}

TEST_F(SettingsKeeperTest, ACommandLineFileBringsItsFoldersSettings) {
  QTemporaryDir other;
  ASSERT_TRUE(QDir(other.path()).exists());
  std::ofstream(QDir(other.path()).filePath(QStringLiteral("veltrano.ini")).toStdString())
      << "[Other]\nRUpDown=4\n";
  {
    AppContext app({QDir(other.path()).filePath(QStringLiteral("track.txt"))}, SettingsUse::File);
    app.mainForm->show();
    EXPECT_EQ(app.transport.radiusValue, 4);
    app.transport.radiusValue = 6;
  }
  std::ifstream in(QDir(other.path()).filePath(QStringLiteral("veltrano.ini")).toStdString());
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_NE(text.find("RUpDown=6\n"), std::string::npos) << text;
  EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath(QStringLiteral("veltrano.ini"))));
}

TEST_F(SettingsKeeperTest, WithoutTheFileUseNothingIsReadOrWritten) {
  writeFile("[Other]\nRUpDown=4\n");
  {
    AppContext app;
    app.mainForm->show();
    EXPECT_EQ(app.transport.radiusValue, 0);
    app.transport.radiusValue = 6;
  }
  std::ifstream in(QDir(dir.path()).filePath(QStringLiteral("veltrano.ini")).toStdString());
  const std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(text, "[Other]\nRUpDown=4\n");
}

}  // namespace
}  // namespace veltrano
