// The Timer window: its controls, the clock, the minute it offers, the start
// and stop minutes it compares with the clock; ClockButton showing it over the
// main window; and the schedule starting and stopping real recordings on a
// pseudo-terminal. The clock is read from a time the test sets, and the test
// ticks it itself.
#include "mainwindow/timer_form.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "../link/pty_fixture.h"
#include "displays/auto_label.h"
#include "link/recording.h"
#include "link/serial_link.h"
#include "main_form_probe.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "sim_process.h"

namespace veltrano {
namespace {

using S = TransportState;
using sim::readWholeFile;
using sim::ScratchDir;

const QColor kBlack(0, 0, 0);
const QColor kLime(0, 255, 0);
const QColor kRed(255, 0, 0);

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

// ---- The main window's side, on its own ----

TEST(TimerHooks, StartOnlyFromStopStopEndsOnlyARecordingAndAlwaysDisarms) {
  struct Case {
    S state;
    bool recordAsked;
    bool recordingStopped;
    S after;
  } cases[] = {
      {S::STOP, true, false, S::STOP},  {S::SYNC, false, false, S::SYNC}, {S::OPEN, false, false, S::OPEN},
      {S::PLAY, false, false, S::PLAY}, {S::FF, false, false, S::FF},     {S::PAUSE, false, false, S::PAUSE},
      {S::REC, false, true, S::STOP},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(int(test.state));
    TransportFields transport;
    TMainForm form(transport, {});
    TTimerForm timer;
    form.attachTimer(&timer);
    const MainFormControls c = test::probeControls(form);
    std::vector<std::string> calls;
    QObject::connect(&form, &TMainForm::recordClicked,
                     [&](bool sender) { calls.push_back(sender ? "record user" : "record"); });
    QObject::connect(&form, &TMainForm::recordingStopped, [&] { calls.push_back("recording stopped"); });
    QObject::connect(&form, &TMainForm::searchStopped, [&](bool) { calls.push_back("search stopped"); });
    QObject::connect(&form, &TMainForm::playbackStopped, [&] { calls.push_back("playback stopped"); });

    form.setTransportState(test.state);
    form.scheduledStart();
    EXPECT_EQ(calls, test.recordAsked ? std::vector<std::string>{"record"} : std::vector<std::string>{});
    calls.clear();

    timer.onButtonClick();
    c.infoLabel->setCaption(QStringLiteral("Receive..."));
    c.timerLabel->setCaption(QStringLiteral("timer on"));
    c.timerLabel->setTextColor(kLime);
    form.scheduledStop();
    EXPECT_EQ(calls,
              test.recordingStopped ? std::vector<std::string>{"recording stopped"} : std::vector<std::string>{});
    EXPECT_EQ(transport.transportState, test.after);
    EXPECT_EQ(c.infoLabel->text().toStdString(), test.recordingStopped ? "" : "Receive...");
    EXPECT_FALSE(timer.timerOn());
    EXPECT_EQ(c.timerLabel->text().toStdString(), "timer off");
    EXPECT_EQ(c.timerLabel->textColor(), kRed);
  }
}

// ---- The whole program: ClockButton and recordings on a pseudo-terminal ----

// What the receiver sends: bytes that differ by their position in the stream.
std::vector<uint8_t> pattern(size_t count, uint64_t from = 0) {
  std::vector<uint8_t> bytes(count);
  for (size_t i = 0; i < count; ++i) bytes[i] = test::patternByte(from + i);
  return bytes;
}

class ScheduleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(pty.isOpen());
    QDir::setCurrent(QString::fromStdString(scratch.path()));
    setPort(pty.path());
    app.sleepMs = [](int) {};
    // The test ticks the clock itself; files are named by the same clock.
    t().timer->stop();
    app.timerForm->currentTime = [this] { return now; };
    app.recording->currentTime = [this] { return now; };
    form().move(100, 50);
  }
  void TearDown() override {
    form().StopButtonClick(true);
    QDir::setCurrent(previousDirectory);
  }

  TMainForm& form() { return *app.mainForm; }
  MainFormControls c() { return test::probeControls(form()); }
  TimerControls t() { return probe(*app.timerForm); }
  void setPort(const std::string& path) {
    c().portComboBox->clear();
    c().portComboBox->addItem(QString::fromStdString(path) + QStringLiteral("  - test"));
  }

  // ClockButton as the operator presses it; `whileShown` acts in the shown
  // window and must close it.
  void pressClockButton(const std::function<void()>& whileShown) {
    bool acted = false;
    QTimer::singleShot(0, app.timerForm.get(), [&] {
      acted = true;
      whileShown();
    });
    c().clockButton->click();
    EXPECT_TRUE(acted);
    EXPECT_FALSE(app.timerForm->isVisible());
  }
  // The operator enters the start and the stop and arms the schedule.
  void arm(const char* startDate, const char* startTime, const char* stopDate, const char* stopTime) {
    pressClockButton([&] {
      setFields(t(), startDate, startTime, stopDate, stopTime);
      t().onButton->click();
    });
    EXPECT_TRUE(app.timerForm->timerOn());
    EXPECT_EQ(c().timerLabel->text().toStdString(), "timer on");
    EXPECT_EQ(c().timerLabel->textColor(), kLime);
  }
  void tickAt(const QDateTime& time) {
    now = time;
    app.timerForm->TimerTimer();
  }
  void expectDisarmed() {
    EXPECT_FALSE(app.timerForm->timerOn());
    EXPECT_EQ(c().timerLabel->text().toStdString(), "timer off");
    EXPECT_EQ(c().timerLabel->textColor(), kRed);
  }
  // The receiver sends `bytes`; the main thread serves the reader until it has them.
  void receive(const std::vector<uint8_t>& bytes) {
    const int64_t before = app.transport.receivedTotal;
    ASSERT_EQ(::write(pty.master(), bytes.data(), bytes.size()), ssize_t(bytes.size()));
    ASSERT_TRUE(test::serveUntil([&] { return app.transport.receivedTotal >= before + int64_t(bytes.size()); }, 10000));
  }
  // The files in the test's directory.
  std::set<std::string> files() const {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(scratch.path()))
      names.insert(entry.path().filename().string());
    return names;
  }
  // What Record sent to the receiver since the last look: one version request per recording.
  int recordingsStarted() {
    const std::string sent = pty.readMaster(0);
    int count = 0;
    for (size_t found = sent.find("$POVER"); found != std::string::npos; found = sent.find("$POVER", found + 1))
      ++count;
    return count;
  }

  QString previousDirectory = QDir::currentPath();
  ScratchDir scratch;
  test::PseudoTerminal pty;
  AppContext app;
  QDateTime now = at(2024, 5, 1, 9, 0, 0);
};

TEST_F(ScheduleTest, ClockButtonCentresTheWindowOnTheMainWindowUntilAButtonClosesIt) {
  struct Case {
    QPoint main;
    QToolButton* button;
    const char* label;
    QColor colour;
  } cases[] = {
      {{100, 50}, t().onButton, "timer on", kLime},
      // 421 / 2 - 196 / 2 = 210 - 98, halves truncated.
      {{37, 211}, t().offButton, "timer off", kRed},
      {{0, 0}, t().onButton, "timer on", kLime},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.label);
    form().move(test.main);
    pressClockButton([&] {
      EXPECT_TRUE(app.timerForm->isVisible());
      EXPECT_EQ(QApplication::activeModalWidget(), app.timerForm.get());
      EXPECT_EQ(app.timerForm->pos(), test.main + QPoint(112, 0));
      // The label tells the outcome only once the window is closed.
      c().timerLabel->setCaption(QStringLiteral("unchanged"));
      test.button->click();
    });
    EXPECT_EQ(c().timerLabel->text().toStdString(), test.label);
    EXPECT_EQ(c().timerLabel->textColor(), test.colour);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  }
}

// However the window goes away, the main window goes on.
TEST_F(ScheduleTest, ClockButtonReturnsWhenTheWindowIsClosedOtherwise) {
  pressClockButton([&] { app.timerForm->close(); });
  expectDisarmed();
}

// Minimised and restored while shown, the window keeps what was entered and
// the main window goes on waiting for it.
TEST_F(ScheduleTest, MinimisingTheShownWindowNeitherEndsTheShowingNorRefillsTheFields) {
  tickAt(at(2024, 5, 1, 9, 41, 3));
  std::vector<std::string> afterRestoring;
  pressClockButton([&] {
    setFields(t(), "01.05.2024", "10:00", "01.05.2024", "11:00");
    app.timerForm->showMinimized();
    QCoreApplication::processEvents();
    app.timerForm->showNormal();
    QCoreApplication::processEvents();
    QTimer::singleShot(0, app.timerForm.get(), [&] {
      afterRestoring = fields(t());
      t().onButton->click();
    });
  });
  EXPECT_EQ(afterRestoring, (std::vector<std::string>{"10:00", "01.05.2024", "11:00", "01.05.2024"}));
  EXPECT_EQ(c().timerLabel->text().toStdString(), "timer on");
}

TEST_F(ScheduleTest, ShowingAgainKeepsAnArmedScheduleAndOffersTheClockOnceDisarmed) {
  tickAt(at(2024, 5, 1, 9, 41, 3));
  arm("01.05.2024", "10:00", "01.05.2024", "11:00");
  tickAt(at(2024, 5, 1, 9, 42, 0));
  pressClockButton([&] {
    EXPECT_EQ(fields(t()), (std::vector<std::string>{"10:00", "01.05.2024", "11:00", "01.05.2024"}));
    t().offButton->click();
  });
  expectDisarmed();
  pressClockButton([&] {
    EXPECT_EQ(fields(t()), (std::vector<std::string>{"09:42", "01.05.2024", "09:42", "01.05.2024"}));
    t().offButton->click();
  });
}

TEST_F(ScheduleTest, StartsAndStopsARecordingAtTheSetMinutes) {
  arm("01.05.2024", "10:00", "01.05.2024", "10:02");
  tickAt(at(2024, 5, 1, 9, 59, 59));
  EXPECT_EQ(app.transport.transportState, S::STOP);
  EXPECT_EQ(files(), std::set<std::string>{});

  tickAt(at(2024, 5, 1, 10, 0, 0));
  ASSERT_EQ(app.transport.transportState, S::REC);
  const std::string name = "rgfile_20240501_100000.nme";
  EXPECT_EQ(files(), std::set<std::string>{name});
  EXPECT_EQ(c().fileLabel->text().toStdString(), name);
  EXPECT_EQ(recordingsStarted(), 1);
  receive(pattern(300));
  EXPECT_EQ(c().infoLabel->text().toStdString(), "Receive...");

  // The rest of the start minute and the minutes before the stop leave the recording alone.
  for (const QDateTime& time : {at(2024, 5, 1, 10, 0, 1), at(2024, 5, 1, 10, 0, 59), at(2024, 5, 1, 10, 1, 30)})
    tickAt(time);
  EXPECT_EQ(app.transport.transportState, S::REC);
  EXPECT_EQ(recordingsStarted(), 0);
  receive(pattern(200, 300));

  tickAt(at(2024, 5, 1, 10, 2, 0));
  EXPECT_EQ(app.transport.transportState, S::STOP);
  EXPECT_EQ(c().infoLabel->text().toStdString(), "");
  EXPECT_FALSE(app.serialLink->isOpen());
  EXPECT_FALSE(c().watchTimer->isActive());
  EXPECT_TRUE(c().recordButton->isEnabled());
  expectDisarmed();
  EXPECT_EQ(readWholeFile(name), pattern(500));

  // Disarmed: the rest of the stop minute and a later day's same minutes do nothing.
  tickAt(at(2024, 5, 1, 10, 2, 1));
  tickAt(at(2024, 5, 2, 10, 0, 0));
  EXPECT_EQ(app.transport.transportState, S::STOP);
  EXPECT_EQ(files(), std::set<std::string>{name});
}

TEST_F(ScheduleTest, EqualStartAndStopMinutesRecordAndStopInOneTick) {
  arm("01.05.2024", "10:00", "01.05.2024", "10:00");
  tickAt(at(2024, 5, 1, 10, 0, 0));
  EXPECT_EQ(recordingsStarted(), 1);
  EXPECT_EQ(app.transport.transportState, S::STOP);
  EXPECT_FALSE(app.serialLink->isOpen());
  expectDisarmed();
  const std::string name = "rgfile_20240501_100000.nme";
  EXPECT_EQ(files(), std::set<std::string>{name});
  EXPECT_EQ(std::filesystem::file_size(name), 0u);

  tickAt(at(2024, 5, 1, 10, 0, 1));
  EXPECT_EQ(app.transport.transportState, S::STOP);
  EXPECT_EQ(recordingsStarted(), 0);
}

// The stop minute comes first and ends the schedule; the later start never fires.
TEST_F(ScheduleTest, AStopBeforeTheStartDisarmsWithoutRecording) {
  arm("01.05.2024", "10:05", "01.05.2024", "10:00");
  c().infoLabel->setCaption(QStringLiteral("Connection failed"));
  tickAt(at(2024, 5, 1, 10, 0, 0));
  expectDisarmed();
  // No recording ran, so the message stays.
  EXPECT_EQ(c().infoLabel->text().toStdString(), "Connection failed");
  tickAt(at(2024, 5, 1, 10, 5, 0));
  EXPECT_EQ(app.transport.transportState, S::STOP);
  EXPECT_EQ(recordingsStarted(), 0);
  EXPECT_EQ(files(), std::set<std::string>{});
}

TEST_F(ScheduleTest, AStartMinuteInThePastNeverFiresAndTheScheduleStaysArmed) {
  now = at(2024, 5, 1, 10, 0, 0);
  arm("01.05.2024", "09:00", "01.05.2024", "11:00");
  for (const QDateTime& time : {at(2024, 5, 1, 10, 0, 0), at(2024, 5, 1, 10, 30, 0), at(2024, 5, 1, 10, 59, 59)})
    tickAt(time);
  EXPECT_EQ(app.transport.transportState, S::STOP);
  EXPECT_TRUE(app.timerForm->timerOn());
  EXPECT_EQ(c().timerLabel->text().toStdString(), "timer on");
  tickAt(at(2024, 5, 1, 11, 0, 0));
  expectDisarmed();
  EXPECT_EQ(recordingsStarted(), 0);
  EXPECT_EQ(files(), std::set<std::string>{});
}

// A recording the operator started before the start minute goes on, and the
// stop minute ends it.
TEST_F(ScheduleTest, AStartWhileARecordingRunsKeepsThatRecording) {
  now = at(2024, 5, 1, 9, 59, 30);
  app.recording->RecordButtonClick(true);
  ASSERT_EQ(app.transport.transportState, S::REC);
  const std::string name = "rgfile_20240501_095930.nme";
  arm("01.05.2024", "10:00", "01.05.2024", "10:01");
  receive(pattern(100));
  tickAt(at(2024, 5, 1, 10, 0, 0));
  tickAt(at(2024, 5, 1, 10, 0, 1));
  EXPECT_EQ(app.transport.transportState, S::REC);
  EXPECT_EQ(recordingsStarted(), 1);
  EXPECT_EQ(files(), std::set<std::string>{name});
  receive(pattern(100, 100));

  tickAt(at(2024, 5, 1, 10, 1, 0));
  EXPECT_EQ(app.transport.transportState, S::STOP);
  expectDisarmed();
  EXPECT_EQ(readWholeFile(name), pattern(200));
}

TEST_F(ScheduleTest, ARecordingStoppedInTheStartMinuteStartsAgainWithANewFile) {
  arm("01.05.2024", "10:00", "01.05.2024", "10:05");
  tickAt(at(2024, 5, 1, 10, 0, 0));
  ASSERT_EQ(app.transport.transportState, S::REC);
  receive(pattern(100));
  now = at(2024, 5, 1, 10, 0, 20);
  c().stopButton->click();
  ASSERT_EQ(app.transport.transportState, S::STOP);

  tickAt(at(2024, 5, 1, 10, 0, 21));
  ASSERT_EQ(app.transport.transportState, S::REC);
  EXPECT_EQ(recordingsStarted(), 2);
  const std::string first = "rgfile_20240501_100000.nme";
  const std::string second = "rgfile_20240501_100021.nme";
  EXPECT_EQ(files(), (std::set<std::string>{first, second}));
  receive(pattern(50, 100));
  // After the start minute a stop by the operator is final.
  now = at(2024, 5, 1, 10, 1, 0);
  c().stopButton->click();
  tickAt(at(2024, 5, 1, 10, 1, 1));
  EXPECT_EQ(app.transport.transportState, S::STOP);
  EXPECT_TRUE(app.timerForm->timerOn());
  EXPECT_EQ(readWholeFile(first), pattern(100));
  EXPECT_EQ(readWholeFile(second), pattern(50, 100));
}

// Without a port each tick of the start minute tries again; once the minute
// is over nothing more is tried.
TEST_F(ScheduleTest, AFailedStartIsTriedAgainByEachTickOfTheStartMinute) {
  struct Case {
    const char* name;
    QDateTime portBack;  // the tick at which the port is there again
    S after;
  } cases[] = {
      {"WithinTheMinute", at(2024, 5, 1, 10, 0, 59), S::REC},
      {"AfterTheMinute", at(2024, 5, 1, 10, 1, 0), S::STOP},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    c().fileLabel->setCaption(QStringLiteral("rgfile.nme"));
    arm("01.05.2024", "10:00", "01.05.2024", "10:05");
    setPort("/nonexistent/tty0");
    for (const QDateTime& time : {at(2024, 5, 1, 10, 0, 0), at(2024, 5, 1, 10, 0, 1), at(2024, 5, 1, 10, 0, 2)}) {
      tickAt(time);
      EXPECT_EQ(app.transport.transportState, S::STOP);
    }
    setPort(pty.path());
    tickAt(test.portBack);
    EXPECT_EQ(app.transport.transportState, test.after);
    EXPECT_EQ(recordingsStarted(), test.after == S::REC ? 1 : 0);
    form().StopButtonClick(true);
  }
}

TEST_F(ScheduleTest, GrabWhenAsked) {
  const char* directory = std::getenv("VELTRANO_GRAB_DIR");
  if (!directory) GTEST_SKIP() << "VELTRANO_GRAB_DIR not set";
  const QDir grabs(QString::fromLocal8Bit(directory));
  tickAt(at(2014, 3, 1, 10, 15, 42));
  arm("01.03.2014", "10:20", "01.03.2014", "11:45");
  pressClockButton([&] {
    EXPECT_TRUE(app.timerForm->grab().save(grabs.filePath(QStringLiteral("timer.png"))));
    t().onButton->click();
  });
  form().show();
  EXPECT_TRUE(form().grab().save(grabs.filePath(QStringLiteral("main_timer_on.png"))));
  form().hide();
}

}  // namespace
}  // namespace veltrano
