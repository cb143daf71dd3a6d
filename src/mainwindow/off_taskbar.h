#pragma once
// Keeps windows out of the taskbar and the pager, so that the main window's one
// entry stands for the whole group. Qt marks tool windows as transient utility
// windows, which most desktops leave out of the taskbar; some (icewm) list them
// anyway unless the window asks to be skipped, which is said again at every show
// because the window manager forgets it when the window is hidden.
#include <QObject>

class QWidget;

namespace veltrano {

class OffTaskbar : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;

  void keep(QWidget& window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace veltrano
