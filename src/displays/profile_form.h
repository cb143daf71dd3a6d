#pragma once
#include "displays/tool_form.h"

namespace veltrano {

class TProfileForm : public ToolForm {
  Q_OBJECT
 public:
  TProfileForm();
};

}  // namespace veltrano
