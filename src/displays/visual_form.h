#pragma once
#include "displays/tool_form.h"

namespace veltrano {

class TVisualForm : public ToolForm {
  Q_OBJECT
 public:
  explicit TVisualForm(AppContext& app);
};

}  // namespace veltrano
