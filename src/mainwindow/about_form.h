#pragma once
#include "displays/tool_form.h"

namespace veltrano {

// The About window: a 132 x 132 raised panel with a picture; clicking the
// picture closes it.
class TAboutForm : public ToolForm {
  Q_OBJECT
 public:
  TAboutForm();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QLabel* image_;
};

}  // namespace veltrano
