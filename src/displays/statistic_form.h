#pragma once
#include "displays/tool_form.h"

namespace veltrano {

class TStatisticForm : public ToolForm {
  Q_OBJECT
 public:
  explicit TStatisticForm(AppContext& app);
};

}  // namespace veltrano
