#pragma once
// Places the tool windows around the main window: a column of Position,
// Statistic and Satellites under it, Visual or Control to its right, and
// Profile and S/N ratio below both. Windows that do not exist are skipped.
class QWidget;

namespace veltrano {

// The tool windows by the box that shows them.
enum class ToolWindow { Position, Statistic, Satellites, Visual, Profile, SNR, Control };

struct ToolWindows {
  QWidget* position = nullptr;
  QWidget* statistic = nullptr;
  QWidget* satellites = nullptr;
  QWidget* visual = nullptr;
  QWidget* profile = nullptr;
  QWidget* snr = nullptr;
  QWidget* control = nullptr;
};

class ToolWindowTiler {
 public:
  explicit ToolWindowTiler(QWidget& mainWindow) : main_(mainWindow) {}
  void setWindows(const ToolWindows& windows) { w_ = windows; }

  // Each places and shows its window when ticked and hides it when unticked,
  // moving the windows below it in its column, shown or not.
  void position(bool ticked);
  void statistic(bool ticked, bool positionTicked);
  void satellites(bool ticked, bool positionTicked, bool statisticTicked);
  void visual(bool ticked);
  void profile(bool ticked);
  void snr(bool ticked, bool profileTicked);
  void control(bool ticked);

  // Moves the main window and the seven tool windows, shown or hidden.
  void moveGroup(int dx, int dy);

 private:
  int mainBottom() const;
  int visualHeight() const;

  QWidget& main_;
  ToolWindows w_;
};

}  // namespace veltrano
