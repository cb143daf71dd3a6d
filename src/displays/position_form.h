#pragma once
#include "displays/tool_form.h"

namespace veltrano {

class TPositionForm : public ToolForm {
  Q_OBJECT
 public:
  explicit TPositionForm(AppContext& app);
};

}  // namespace veltrano
