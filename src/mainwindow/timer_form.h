#pragma once
// The Timer window: a clock that ticks every second for the whole run, and a
// schedule of one start minute and one stop minute. While the schedule is
// armed, each tick compares the clock with both and announces the minute it
// falls into; the main window starts and stops the recording.
#include <QDateTime>
#include <functional>

#include "displays/tool_form.h"

class QEventLoop;
class QLineEdit;

namespace veltrano {

class AutoLabel;

class TTimerForm : public ToolForm {
  Q_OBJECT
 public:
  TTimerForm();

  // Shows the window and returns when it closes; meanwhile no other window
  // takes input, while the timers, the clock among them, go on.
  void showModal();

  // Whether the schedule is armed.
  bool timerOn() const { return timerOn_; }
  // The stop minute came: the schedule is over, the window stays as it is.
  void disarm() { timerOn_ = false; }

  // Each showing: a disarmed schedule offers the time of the last tick.
  void FormShow();
  void onButtonClick();
  void offButtonClick();
  // One tick of the clock.
  void TimerTimer();

  // The local date and time the clock reads. Tests replace it.
  std::function<QDateTime()> currentTime = [] { return QDateTime::currentDateTime(); };

 signals:
  // A tick of an armed schedule fell into its start or its stop minute.
  void scheduledStart();
  void scheduledStop();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void readClock();

  AutoLabel* timeLabel_;
  AutoLabel* dateLabel_;
  QLineEdit* startTimeEdit_;
  QLineEdit* startDateEdit_;
  QLineEdit* stopTimeEdit_;
  QLineEdit* stopDateEdit_;
  bool timerOn_ = false;
  // The clock reading of the last tick; none before the first.
  QDateTime reading_;
  QEventLoop* modalLoop_ = nullptr;
};

}  // namespace veltrano
