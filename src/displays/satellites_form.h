#pragma once
#include "displays/tool_form.h"

namespace veltrano {

class TSatellitesForm : public ToolForm {
  Q_OBJECT
 public:
  explicit TSatellitesForm(AppContext& app);
};

}  // namespace veltrano
