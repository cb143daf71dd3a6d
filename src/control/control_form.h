#pragma once
#include "displays/tool_form.h"

namespace veltrano {

class TControlForm : public ToolForm {
  Q_OBJECT
 public:
  TControlForm();
};

}  // namespace veltrano
