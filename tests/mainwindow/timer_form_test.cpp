// The Timer window: its controls, the clock, the minute it offers, the start
// and stop minutes it compares with the clock. The clock is read from a time
// the test sets, and the test ticks it itself.
#include "mainwindow/timer_form.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <string>
#include <vector>

#include "displays/auto_label.h"

namespace veltrano {
namespace {

const QColor kBlack(0, 0, 0);

QDateTime at(int year, int month, int day, int hour, int minute, int second) {
  return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

template <typename T>
T* part(const QWidget& window, const char* name) {
  T* found = window.findChild<T*>(QString::fromLatin1(name));
  if (!found) qFatal("the Timer window has no %s", name);
  return found;
}

struct TimerControls {
  AutoLabel* timeLabel;
  AutoLabel* dateLabel;
  QLineEdit* startTimeEdit;
  QLineEdit* startDateEdit;
  QLineEdit* stopTimeEdit;
  QLineEdit* stopDateEdit;
  QToolButton* onButton;
  QToolButton* offButton;
  QTimer* timer;
};

TimerControls probe(const TTimerForm& form) {
  return {part<AutoLabel>(form, "TimeLabel"),
          part<AutoLabel>(form, "DateLabel"),
          part<QLineEdit>(form, "StartTimeEdit"),
          part<QLineEdit>(form, "StartDateEdit"),
          part<QLineEdit>(form, "StopTimeEdit"),
          part<QLineEdit>(form, "StopDateEdit"),
          part<QToolButton>(form, "onButton"),
          part<QToolButton>(form, "offButton"),
          part<QTimer>(form, "Timer")};
}

// The four fields as the window shows them: start time, start date, stop time, stop date.
std::vector<std::string> fields(const TimerControls& t) {
  std::vector<std::string> shown;
  for (const QLineEdit* edit : {t.startTimeEdit, t.startDateEdit, t.stopTimeEdit, t.stopDateEdit})
    shown.push_back(edit->displayText().toStdString());
  return shown;
}

void setFields(const TimerControls& t, const char* startDate, const char* startTime, const char* stopDate,
               const char* stopTime) {
  t.startDateEdit->setText(QString::fromLatin1(startDate));
  t.startTimeEdit->setText(QString::fromLatin1(startTime));
  t.stopDateEdit->setText(QString::fromLatin1(stopDate));
  t.stopTimeEdit->setText(QString::fromLatin1(stopTime));
}

// ---- The window alone ----

TEST(TimerForm, ControlsAtTheirPlacesWithTheirTexts) {
  TTimerForm form;
  EXPECT_EQ(form.size(), QSize(196, 71));
  EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(form.frameStyle(), QFrame::Panel | QFrame::Raised);
  EXPECT_EQ(form.windowModality(), Qt::ApplicationModal);
  EXPECT_FALSE(form.isVisible());
  EXPECT_FALSE(form.timerOn());

  auto* heading = part<QLabel>(form, "StaticText1");
  EXPECT_EQ(heading->geometry(), QRect(4, 2, 189, 17));
  EXPECT_EQ(heading->text().toStdString(), "TIMER");
  EXPECT_EQ(heading->palette().color(QPalette::Window), QColor(192, 192, 192));
  EXPECT_EQ(heading->palette().color(QPalette::WindowText), QColor(0, 0, 255));

  // Captions keep their left edge, the clock's values their right edge.
  struct LabelCase {
    const char* name;
    bool rightAligned;
    int edge, top;
    const char* text;
    bool bold;
  } labels[] = {
      {"Label11", false, 4, 20, "Now:", false},         {"TimeLabel", true, 84, 20, "00:00:00", true},
      {"DateLabel", true, 156, 20, "00.00.0000", true}, {"Label1", false, 4, 40, "Start:", false},
      {"Label2", false, 4, 52, "Stop:", false},
  };
  for (const LabelCase& test : labels) {
    SCOPED_TRACE(test.name);
    const auto* label = part<AutoLabel>(form, test.name);
    EXPECT_EQ(label->text().toStdString(), test.text);
    EXPECT_EQ(test.rightAligned ? label->geometry().x() + label->width() : label->geometry().x(), test.edge);
    EXPECT_EQ(label->geometry().y(), test.top);
    EXPECT_EQ(bool(label->alignment() & Qt::AlignRight), test.rightAligned);
    EXPECT_EQ(label->font().bold(), test.bold);
    EXPECT_EQ(label->font().pixelSize(), 11);
    EXPECT_EQ(label->textColor(), kBlack);
  }
  // The date label stays within its design-time box from 91 to 156.
  EXPECT_GE(part<AutoLabel>(form, "DateLabel")->geometry().x(), 91);

  struct EditCase {
    const char* name;
    QRect place;
    const char* mask;
    int length;
    const char* text;
  } edits[] = {
      {"StartTimeEdit", {32, 40, 38, 13}, "99:99;_", 5, "00:00"},
      {"StartDateEdit", {90, 40, 71, 13}, "99.99.9999;_", 10, "00.00.0000"},
      {"StopTimeEdit", {32, 52, 38, 13}, "99:99;_", 5, "00:00"},
      {"StopDateEdit", {90, 52, 71, 13}, "99.99.9999;_", 10, "00.00.0000"},
  };
  for (const EditCase& test : edits) {
    SCOPED_TRACE(test.name);
    const auto* edit = part<QLineEdit>(form, test.name);
    EXPECT_EQ(edit->geometry(), test.place);
    EXPECT_EQ(edit->inputMask().toStdString(), test.mask);
    EXPECT_EQ(edit->maxLength(), test.length);
    EXPECT_EQ(edit->displayText().toStdString(), test.text);
    EXPECT_EQ(edit->font().pixelSize(), 11);
  }

  const TimerControls t = probe(form);
  for (const auto& [button, place] :
       {std::pair{t.onButton, QRect(170, 22, 23, 22)}, std::pair{t.offButton, QRect(170, 44, 23, 22)}}) {
    SCOPED_TRACE(button->objectName().toStdString());
    EXPECT_EQ(button->geometry(), place);
    EXPECT_TRUE(button->autoRaise());
    const QIcon icon = button->icon();
    EXPECT_NE(icon.pixmap(button->iconSize(), QIcon::Normal).toImage(),
              icon.pixmap(button->iconSize(), QIcon::Disabled).toImage());
  }
  EXPECT_NE(t.onButton->icon().pixmap(16).toImage(), t.offButton->icon().pixmap(16).toImage());

  // The clock runs from creation, shown or not.
  EXPECT_EQ(t.timer->interval(), 1000);
  EXPECT_TRUE(t.timer->isActive());
}

TEST(TimerForm, EveryTickShowsTheLocalTimeAndDate) {
  TTimerForm form;
  const TimerControls t = probe(form);
  struct Case {
    QDateTime now;
    const char* time;
    const char* date;
  } cases[] = {
      {at(2014, 3, 1, 10, 15, 0), "10:15:00", "01.03.2014"},
      {at(2024, 12, 31, 23, 59, 59), "23:59:59", "31.12.2024"},
      {at(2000, 1, 9, 0, 0, 7), "00:00:07", "09.01.2000"},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.time);
    form.currentTime = [&] { return test.now; };
    // The tick comes from the clock's own timer.
    ASSERT_TRUE(QMetaObject::invokeMethod(t.timer, "timeout"));
    EXPECT_EQ(t.timeLabel->text().toStdString(), test.time);
    EXPECT_EQ(t.dateLabel->text().toStdString(), test.date);
    EXPECT_EQ(t.timeLabel->geometry().x() + t.timeLabel->width(), 84);
    EXPECT_EQ(t.dateLabel->geometry().x() + t.dateLabel->width(), 156);
  }
}

// Disarmed, each showing offers the minute of the last tick; armed, the entered
// minutes stay; disarmed again, the window offers the clock again.
TEST(TimerForm, ShowingOffersTheLastTickUnlessArmed) {
  TTimerForm form;
  const TimerControls t = probe(form);
  QDateTime now = at(2014, 3, 1, 10, 15, 42);
  form.currentTime = [&] { return now; };

  // Before the first tick the window reads the clock itself.
  form.show();
  EXPECT_EQ(fields(t), (std::vector<std::string>{"10:15", "01.03.2014", "10:15", "01.03.2014"}));
  EXPECT_EQ(t.timeLabel->text().toStdString(), "10:15:42");
  t.offButton->click();
  EXPECT_FALSE(form.isVisible());

  // The minute of the last tick, not of the moment it shows.
  now = at(2024, 12, 31, 9, 5, 0);
  form.TimerTimer();
  now = at(2024, 12, 31, 9, 6, 0);
  form.show();
  EXPECT_EQ(fields(t), (std::vector<std::string>{"09:05", "31.12.2024", "09:05", "31.12.2024"}));

  setFields(t, "01.01.2025", "07:30", "02.01.2025", "08:00");
  t.onButton->click();
  EXPECT_TRUE(form.timerOn());
  EXPECT_FALSE(form.isVisible());
  form.TimerTimer();
  form.show();
  EXPECT_EQ(fields(t), (std::vector<std::string>{"07:30", "01.01.2025", "08:00", "02.01.2025"}));
  t.offButton->click();
  EXPECT_FALSE(form.timerOn());

  form.show();
  EXPECT_EQ(fields(t), (std::vector<std::string>{"09:06", "31.12.2024", "09:06", "31.12.2024"}));
  form.hide();
}

struct CheckCase {
  const char* name;
  const char* startDate;
  const char* startTime;
  const char* stopDate;
  const char* stopTime;
  bool armed;
  std::vector<std::string> announced;
};

void PrintTo(const CheckCase& c, std::ostream* out) { *out << c.name; }

class TimerCheckTest : public ::testing::TestWithParam<CheckCase> {};

// At 09:05:30 on 1 March 2014.
TEST_P(TimerCheckTest, ComparesDateAndMinuteOfEachField) {
  const CheckCase& c = GetParam();
  TTimerForm form;
  const TimerControls t = probe(form);
  form.currentTime = [] { return at(2014, 3, 1, 9, 5, 30); };
  setFields(t, c.startDate, c.startTime, c.stopDate, c.stopTime);
  EXPECT_EQ(fields(t), (std::vector<std::string>{c.startTime, c.startDate, c.stopTime, c.stopDate}));
  if (c.armed) t.onButton->click();
  std::vector<std::string> announced;
  QObject::connect(&form, &TTimerForm::scheduledStart, [&] { announced.push_back("start"); });
  QObject::connect(&form, &TTimerForm::scheduledStop, [&] { announced.push_back("stop"); });
  form.TimerTimer();
  EXPECT_EQ(announced, c.announced);
  // The window itself never disarms: that is for whoever ends the schedule.
  EXPECT_EQ(form.timerOn(), c.armed);
}

INSTANTIATE_TEST_SUITE_P(
    Checks, TimerCheckTest,
    ::testing::Values(
        CheckCase{"LeadingZerosReadAsNumbers", "01.03.2014", "09:05", "01.03.2014", "10:00", true, {"start"}},
        CheckCase{"StopMinute", "01.03.2014", "09:00", "01.03.2014", "09:05", true, {"stop"}},
        CheckCase{"EqualMinutesStartFirst", "01.03.2014", "09:05", "01.03.2014", "09:05", true, {"start", "stop"}},
        CheckCase{"Disarmed", "01.03.2014", "09:05", "01.03.2014", "09:05", false, {}},
        CheckCase{"DesignTimeZeros", "00.00.0000", "00:00", "00.00.0000", "00:00", true, {}},
        CheckCase{"OtherYear", "01.03.2015", "09:05", "01.03.2013", "09:05", true, {}},
        CheckCase{"OtherMonth", "01.04.2014", "09:05", "01.02.2014", "09:05", true, {}},
        CheckCase{"OtherDay", "02.03.2014", "09:05", "11.03.2014", "09:05", true, {}},
        CheckCase{"OtherHour", "01.03.2014", "10:05", "01.03.2014", "19:05", true, {}},
        CheckCase{"OtherMinute", "01.03.2014", "09:06", "01.03.2014", "09:04", true, {}},
        // A field left unfinished reads the digits before its first gap.
        CheckCase{"DigitsBeforeAGap", "1_.3_.2014", "9_:5_", "01.03.2014", "09:__", true, {"start"}},
        CheckCase{"ShortYear", "01.03.14__", "09:05", "01.03.201_", "09:05", true, {}}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace veltrano
