#include "displays/position_form.h"

namespace veltrano {

TPositionForm::TPositionForm(AppContext& app) : ToolForm(app, "TPositionForm", 421, 60) {
  addTitleStrip(QStringLiteral("POSITION"), QRect(2, 2, 416, 17));
}

}  // namespace veltrano
