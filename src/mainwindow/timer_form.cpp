#include "mainwindow/timer_form.h"

namespace veltrano {

TTimerForm::TTimerForm() : ToolForm("TTimerForm", 196, 71) {
  addTitleStrip(QStringLiteral("TIMER"), QRect(4, 2, 189, 17));
}

}  // namespace veltrano
