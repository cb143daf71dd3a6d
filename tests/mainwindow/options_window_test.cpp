// The Options window: its controls, opening it from the Visual plot's menu, and
// the capacity it sets taking effect at the next Clear.
#include "displays/options_form.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QToolButton>
#include <cstdlib>
#include <memory>
#include <string>

#include "displays/visual_form.h"
#include "mainwindow/app_context.h"
#include "mainwindow/point_store.h"

namespace veltrano {
namespace {

template <typename T>
T* child(const QWidget& form, const char* name) {
  T* found = form.findChild<T*>(QString::fromLatin1(name));
  if (!found) qFatal("the Options window has no %s", name);
  return found;
}

// Digits typed from the first place on, as the user types them over the edit.
void typeDigits(QLineEdit* edit, const char* digits) {
  edit->setFocus();
  edit->setCursorPosition(0);
  for (const char* d = digits; *d; ++d) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_0 + (*d - '0'), Qt::NoModifier, QString(QLatin1Char(*d)));
    QCoreApplication::sendEvent(edit, &press);
  }
}

class OptionsWindowTest : public ::testing::Test {
 protected:
  TOptionsForm& form() { return *app->optionsForm; }
  QLineEdit* pointsEdit() { return child<QLineEdit>(form(), "PointsEdit"); }
  void open() {
    app->visualForm->show();
    app->visualForm->controls().optionsItem->trigger();
  }

  std::unique_ptr<AppContext> app = std::make_unique<AppContext>();
};

TEST_F(OptionsWindowTest, ControlsInTheirPlaces) {
  EXPECT_EQ(form().size(), QSize(132, 71));
  const struct {
    const char* name;
    QRect place;
  } controls[] = {{"StaticText1", QRect(4, 2, 125, 17)},
                  {"PointsEdit", QRect(66, 25, 58, 13)},
                  {"onButton", QRect(26, 44, 23, 22)},
                  {"offButton", QRect(82, 44, 23, 22)}};
  for (const auto& control : controls)
    EXPECT_EQ(child<QWidget>(form(), control.name)->geometry(), control.place) << control.name;
  EXPECT_EQ(child<QLabel>(form(), "StaticText1")->text(), QStringLiteral("OPTIONS"));
  EXPECT_EQ(child<QLabel>(form(), "Label1")->text(), QStringLiteral("Points:"));
  EXPECT_EQ(child<QLabel>(form(), "Label1")->pos(), QPoint(8, 25));
  EXPECT_EQ(pointsEdit()->inputMask(), QStringLiteral("000000;_"));
  EXPECT_TRUE(pointsEdit()->font().bold());
  EXPECT_TRUE(pointsEdit()->alignment() & Qt::AlignRight);
  EXPECT_FALSE(child<QToolButton>(form(), "onButton")->icon().isNull());
  EXPECT_FALSE(child<QToolButton>(form(), "offButton")->icon().isNull());
}

TEST_F(OptionsWindowTest, OpensModallyCentredOnThePlotShowingTheCapacity) {
  open();
  ASSERT_TRUE(form().isVisible());
  EXPECT_EQ(form().windowModality(), Qt::ApplicationModal);
  EXPECT_EQ(pointsEdit()->text(), QStringLiteral("010000"));
  const QWidget* image = app->visualForm->controls().image;
  const QPoint imageTopLeft = image->mapToGlobal(QPoint(0, 0));
  EXPECT_EQ(form().pos(), imageTopLeft + QPoint(307 / 2 - 132 / 2, 307 / 2 - 71 / 2));
}

struct AnswerCase {
  const char* name;
  const char* typed;
  bool accept;
  int32_t maxPoints;
};

class OptionsAnswer : public OptionsWindowTest, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(OptionsAnswer, AcceptSetsTheCapacityForTheNextClearAndCancelChangesNothing) {
  const AnswerCase& ac = GetParam();
  app->visualForm->show();
  app->visualForm->ClearButtonClick();
  ASSERT_EQ(app->pointRing.pointCapacity(), 10000);
  open();
  typeDigits(pointsEdit(), ac.typed);
  ASSERT_EQ(pointsEdit()->text(), QString::fromLatin1(ac.typed));
  child<QToolButton>(form(), ac.accept ? "onButton" : "offButton")->click();
  EXPECT_FALSE(form().isVisible());
  EXPECT_EQ(app->pointRing.maxPoints, ac.maxPoints);
  // The ring keeps its size until the next Clear.
  EXPECT_EQ(app->pointRing.pointCapacity(), 10000);
  app->visualForm->ClearButtonClick();
  EXPECT_EQ(app->pointRing.pointCapacity(), ac.maxPoints);
  // Shown again, the window shows what it set.
  open();
  EXPECT_EQ(pointsEdit()->text(), QString::asprintf("%06d", ac.maxPoints));
}

INSTANTIATE_TEST_SUITE_P(
    Answers, OptionsAnswer,
    ::testing::Values(AnswerCase{"Accept500", "000500", true, 500}, AnswerCase{"AcceptZero", "000000", true, 0},
                      AnswerCase{"AcceptLargest", "999999", true, 999999},
                      AnswerCase{"Cancel", "000500", false, 10000}),
    [](const ::testing::TestParamInfo<AnswerCase>& info) { return std::string(info.param.name); });

TEST_F(OptionsWindowTest, LooksAsDesigned) {
  open();
  const QImage picture = form().grab().toImage();
  ASSERT_EQ(picture.size(), QSize(132, 71));
  if (const char* path = std::getenv("VELTRANO_GRAB_OPTIONS")) picture.save(QString::fromLocal8Bit(path));
  // The title strip's silver, the edit's digits in black on the panel.
  EXPECT_EQ(picture.pixelColor(10, 4), QColor(192, 192, 192));
}

}  // namespace
}  // namespace veltrano
