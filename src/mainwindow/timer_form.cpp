#include "mainwindow/timer_form.h"

#include <QEventLoop>
#include <QHideEvent>
#include <QLineEdit>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>

#include "displays/auto_label.h"
#include "mainwindow/button_glyphs.h"

namespace veltrano {

namespace {

const QColor kBlack(0, 0, 0);

// Hours and minutes; day, month and year. Every digit is required, "_" marks
// an empty place, and the separators stay in the text.
const char* const kTimeMask = "99:99;_";
const char* const kDateMask = "99.99.9999;_";

// Places of the numbers in the fields, counted from 0.
constexpr int kHourAt = 0;
constexpr int kMinuteAt = 3;
constexpr int kDayAt = 0;
constexpr int kMonthAt = 3;
constexpr int kYearAt = 6;

AutoLabel* caption(QWidget* parent, const char* name, int x, int y, const char* text) {
  AutoLabel* label = AutoLabel::left(parent, name, x, y, QString::fromLatin1(text), false);
  label->setTextColor(kBlack);
  return label;
}

AutoLabel* value(QWidget* parent, const char* name, int rightEdge, int y, const char* text) {
  AutoLabel* label = AutoLabel::right(parent, name, rightEdge, y, QString::fromLatin1(text), true);
  label->setTextColor(kBlack);
  return label;
}

QLineEdit* maskedEdit(QWidget* parent, const char* name, const QRect& place, const char* mask, const char* text) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setGeometry(place);
  edit->setFrame(false);
  edit->setTextMargins(0, 0, 0, 0);
  edit->setInputMask(QString::fromLatin1(mask));
  edit->setText(QString::fromLatin1(text));
  return edit;
}

QToolButton* flatButton(QWidget* parent, const char* name, int y, Glyph glyph) {
  return veltrano::flatButton(parent, name, QRect(170, y, 23, 22), buttonGlyph(glyph), glyphSize(glyph));
}

// The number that begins at `position` of a field as it is shown: its decimal
// digits up to the first other character, 0 when there is none.
int numberAt(const QString& text, int position) {
  int number = 0;
  for (qsizetype i = position; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i)
    number = number * 10 + (text[i].unicode() - '0');
  return number;
}

// Whether `now` falls into the minute that the two fields name. The shown
// text keeps every character in its place, also where a digit is missing.
bool isMinuteOf(const QLineEdit* dateEdit, const QLineEdit* timeEdit, const QDateTime& now) {
  const QString date = dateEdit->displayText();
  const QString time = timeEdit->displayText();
  return numberAt(date, kYearAt) == now.date().year() && numberAt(date, kMonthAt) == now.date().month() &&
         numberAt(date, kDayAt) == now.date().day() && numberAt(time, kHourAt) == now.time().hour() &&
         numberAt(time, kMinuteAt) == now.time().minute();
}

}  // namespace

TTimerForm::TTimerForm() : ToolForm("TTimerForm", 196, 71) {
  addTitleStrip(QStringLiteral("TIMER"), QRect(4, 2, 189, 17));
  caption(this, "Label11", 4, 20, "Now:");
  timeLabel_ = value(this, "TimeLabel", 84, 20, "00:00:00");
  dateLabel_ = value(this, "DateLabel", 156, 20, "00.00.0000");
  caption(this, "Label1", 4, 40, "Start:");
  startTimeEdit_ = maskedEdit(this, "StartTimeEdit", QRect(32, 40, 38, 13), kTimeMask, "00:00");
  startDateEdit_ = maskedEdit(this, "StartDateEdit", QRect(90, 40, 71, 13), kDateMask, "00.00.0000");
  caption(this, "Label2", 4, 52, "Stop:");
  stopTimeEdit_ = maskedEdit(this, "StopTimeEdit", QRect(32, 52, 38, 13), kTimeMask, "00:00");
  stopDateEdit_ = maskedEdit(this, "StopDateEdit", QRect(90, 52, 71, 13), kDateMask, "00.00.0000");
  connect(flatButton(this, "onButton", 22, Glyph::TimerOn), &QToolButton::clicked, this, &TTimerForm::onButtonClick);
  connect(flatButton(this, "offButton", 44, Glyph::TimerOff), &QToolButton::clicked, this, &TTimerForm::offButtonClick);

  // The window is shown only as a modal one.
  setWindowModality(Qt::ApplicationModal);

  auto* timer = new QTimer(this);
  timer->setObjectName(QStringLiteral("Timer"));
  connect(timer, &QTimer::timeout, this, &TTimerForm::TimerTimer);
  timer->start(1000);
}

void TTimerForm::showModal() {
  QEventLoop loop;
  modalLoop_ = &loop;
  show();
  if (isVisible()) loop.exec();
  modalLoop_ = nullptr;
}

// The window system's own show and hide events (a minimised window restored or
// minimised) neither refill the fields nor end a showing.
void TTimerForm::showEvent(QShowEvent* event) {
  ToolForm::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

// However the window closes, a modal showing ends with it.
void TTimerForm::hideEvent(QHideEvent* event) {
  ToolForm::hideEvent(event);
  if (modalLoop_ && !isVisible()) modalLoop_->quit();
}

void TTimerForm::FormShow() {
  if (timerOn_) return;
  // A window shown before the first tick offers the time it is shown at.
  if (!reading_.isValid()) readClock();
  const QDate date = reading_.date();
  const QTime time = reading_.time();
  const QString minute = QString::asprintf("%02d:%02d", time.hour(), time.minute());
  const QString day = QString::asprintf("%02d.%02d.%02d", date.day(), date.month(), date.year());
  startTimeEdit_->setText(minute);
  stopTimeEdit_->setText(minute);
  startDateEdit_->setText(day);
  stopDateEdit_->setText(day);
}

void TTimerForm::onButtonClick() {
  timerOn_ = true;
  close();
}

void TTimerForm::offButtonClick() {
  timerOn_ = false;
  close();
}

void TTimerForm::TimerTimer() {
  readClock();
  if (!timerOn_) return;
  if (isMinuteOf(startDateEdit_, startTimeEdit_, reading_)) emit scheduledStart();
  // The start goes first: in a stop minute equal to the start minute the
  // recording starts and stops in the same tick.
  if (isMinuteOf(stopDateEdit_, stopTimeEdit_, reading_)) emit scheduledStop();
}

void TTimerForm::readClock() {
  reading_ = currentTime();
  const QDate date = reading_.date();
  const QTime time = reading_.time();
  timeLabel_->setCaption(QString::asprintf("%02d:%02d:%02d", time.hour(), time.minute(), time.second()));
  dateLabel_->setCaption(QString::asprintf("%02d.%02d.%02d", date.day(), date.month(), date.year()));
}

}  // namespace veltrano
