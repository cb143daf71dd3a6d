#include "displays/statistic_form.h"

namespace veltrano {

TStatisticForm::TStatisticForm(AppContext& app) : ToolForm(app, "TStatisticForm", 421, 60) {
  addTitleStrip(QStringLiteral("STATISTIC"), QRect(2, 2, 416, 17));
}

}  // namespace veltrano
