#include "displays/visual_form.h"

namespace veltrano {

TVisualForm::TVisualForm(AppContext& app) : ToolForm(app, "TVisualForm", 427, 335) {
  addTitleStrip(QStringLiteral("VISUAL"), QRect(4, 2, 419, 17));
}

}  // namespace veltrano
