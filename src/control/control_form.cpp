#include "control/control_form.h"

namespace veltrano {

TControlForm::TControlForm() : ToolForm("TControlForm", 427, 335) {
  addTitleStrip(QStringLiteral("CONTROL"), QRect(4, 2, 419, 17));
}

}  // namespace veltrano
