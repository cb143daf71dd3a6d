#pragma once
#include "displays/tool_form.h"

namespace veltrano {

class TControlForm : public ToolForm {
  Q_OBJECT
 public:
  explicit TControlForm(AppContext& app);
};

}  // namespace veltrano
