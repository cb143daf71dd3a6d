#include "displays/options_form.h"

namespace veltrano {

TOptionsForm::TOptionsForm() : ToolForm("TOptionsForm", 132, 71) {
  addTitleStrip(QStringLiteral("OPTIONS"), QRect(4, 2, 125, 17));
}

}  // namespace veltrano
