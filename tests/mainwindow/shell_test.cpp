#include <gtest/gtest.h>

#include <QLabel>

#include "control/control_form.h"
#include "displays/options_form.h"
#include "displays/position_form.h"
#include "displays/profile_form.h"
#include "displays/satellites_form.h"
#include "displays/snr_form.h"
#include "displays/statistic_form.h"
#include "displays/visual_form.h"
#include "mainwindow/about_form.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "mainwindow/timer_form.h"

namespace veltrano {
namespace {

TEST(Shell, WindowsAreBorderlessHiddenToolsAtTheirSizes) {
  AppContext app;
  struct Case {
    QWidget* window;
    int width, height;
    const char* title;
  } cases[] = {
      {app.aboutForm.get(), 132, 132, nullptr},
      {app.visualForm.get(), 427, 335, "VISUAL"},
      {app.controlForm.get(), 427, 335, "CONTROL"},
      {app.positionForm.get(), 421, 60, "POSITION"},
      {app.profileForm.get(), 848, 94, "PROFILE"},
      {app.satellitesForm.get(), 421, 83, "PVT STATUS & USED SATELLITES"},
      {app.snrForm.get(), 848, 94, "SIGNAL-NOISE RATIO"},
      {app.statisticForm.get(), 421, 60, "STATISTIC"},
      {app.timerForm.get(), 196, 71, "TIMER"},
      {app.optionsForm.get(), 132, 71, "OPTIONS"},
      {app.mainForm.get(), 421, 132, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.window->objectName().toStdString());
    EXPECT_EQ(c.window->size(), QSize(c.width, c.height));
    EXPECT_TRUE(c.window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_FALSE(c.window->isVisible());
    EXPECT_EQ(c.window->font().pixelSize(), 11);
    if (c.title) {
      auto* strip = c.window->findChild<QLabel*>(QStringLiteral("StaticText1"));
      ASSERT_NE(strip, nullptr);
      EXPECT_EQ(strip->text(), QString::fromLatin1(c.title));
      EXPECT_EQ(strip->height(), 17);
      EXPECT_EQ(strip->palette().color(QPalette::Window), QColor(192, 192, 192));
      EXPECT_EQ(strip->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    }
  }
}

TEST(Shell, MainWindowCaptionCarriesTheBuildVersion) {
  AppContext app;
  EXPECT_EQ(app.mainForm->topPanel()->text(), QStringLiteral("VELTRANO 8.2.3.8 (RTK)"));
  EXPECT_EQ(applicationCaption(QString()), QStringLiteral("VELTRANO  (RTK)"));
}

}  // namespace
}  // namespace veltrano
