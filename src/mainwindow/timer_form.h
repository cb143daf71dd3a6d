#pragma once
#include "displays/tool_form.h"

namespace veltrano {

class TTimerForm : public ToolForm {
  Q_OBJECT
 public:
  TTimerForm();
};

}  // namespace veltrano
