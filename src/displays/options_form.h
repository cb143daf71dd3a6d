#pragma once
#include "displays/tool_form.h"

namespace veltrano {

class TOptionsForm : public ToolForm {
  Q_OBJECT
 public:
  TOptionsForm();
};

}  // namespace veltrano
