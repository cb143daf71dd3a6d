#include "displays/snr_form.h"

namespace veltrano {

TSNRForm::TSNRForm() : ToolForm("TSNRForm", 848, 94) {
  addTitleStrip(QStringLiteral("SIGNAL-NOISE RATIO"), QRect(2, 2, 843, 17));
}

}  // namespace veltrano
