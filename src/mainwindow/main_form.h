#pragma once
#include <QFrame>
#include <QLabel>

namespace veltrano {

class AppContext;

// The borderless control panel of the program.
class TMainForm : public QFrame {
  Q_OBJECT
 public:
  explicit TMainForm(AppContext& app);

  QLabel* topPanel() const { return topPanel_; }

 private:
  AppContext& app_;
  QLabel* topPanel_;
};

// "VELTRANO " + version + " (RTK)".
QString applicationCaption(const QString& versionString);

}  // namespace veltrano
