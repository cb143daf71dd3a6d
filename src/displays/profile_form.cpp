#include "displays/profile_form.h"

namespace veltrano {

TProfileForm::TProfileForm() : ToolForm("TProfileForm", 848, 94) {
  addTitleStrip(QStringLiteral("PROFILE"), QRect(2, 2, 843, 17));
}

}  // namespace veltrano
