#pragma once
#include "displays/tool_form.h"

namespace veltrano {

class TSNRForm : public ToolForm {
  Q_OBJECT
 public:
  TSNRForm();
};

}  // namespace veltrano
