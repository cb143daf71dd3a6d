#pragma once
// The Options window: the capacity of the point store, which the next Clear,
// Play or Record allocates. Opened modally from the Visual window's plot menu.
#include <QLineEdit>
#include <QPoint>
#include <QToolButton>
#include <cstdint>

#include "displays/tool_form.h"

namespace veltrano {

class TOptionsForm : public ToolForm {
  Q_OBJECT
 public:
  // The window edits `maxPoints`, the capacity the point store is allocated with.
  explicit TOptionsForm(int32_t& maxPoints);

  // Placed with its centre at `centre` (screen coordinates) and shown modally.
  void showCentredOn(QPoint centre);

  // PointsEdit shows the capacity, six digits.
  void FormShow();
  // The capacity from PointsEdit; the window closes.
  void onButtonClick();
  // The window closes, nothing changed.
  void offButtonClick();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  int32_t& maxPoints_;
  QLineEdit* pointsEdit_;
  QToolButton* onButton_;
  QToolButton* offButton_;
};

}  // namespace veltrano
