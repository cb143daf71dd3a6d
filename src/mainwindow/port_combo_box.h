#pragma once
#include <QComboBox>

namespace veltrano {

// The serial-port list; announces that its list is about to drop down so the
// owner can rebuild the entries first.
class PortComboBox : public QComboBox {
  Q_OBJECT
 public:
  using QComboBox::QComboBox;

  void showPopup() override;

 signals:
  void dropDown();
};

}  // namespace veltrano
