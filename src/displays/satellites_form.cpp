#include "displays/satellites_form.h"

namespace veltrano {

TSatellitesForm::TSatellitesForm(AppContext& app) : ToolForm(app, "TSatellitesForm", 421, 83) {
  addTitleStrip(QStringLiteral("PVT STATUS & USED SATELLITES"), QRect(2, 2, 416, 17));
}

}  // namespace veltrano
