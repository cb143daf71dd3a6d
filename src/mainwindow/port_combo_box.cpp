#include "mainwindow/port_combo_box.h"

namespace veltrano {

void PortComboBox::showPopup() {
  emit dropDown();
  QComboBox::showPopup();
}

}  // namespace veltrano
