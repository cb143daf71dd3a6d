#pragma once
// Places the tool windows around the main window: a column of Position,
// Statistic and Satellites under it, Visual or Control to its right, and
// Profile and S/N ratio below both. Windows that do not exist are skipped.
class QWidget;

namespace veltrano {

class AppContext;

class ToolWindowTiler {
 public:
  ToolWindowTiler(AppContext& app, QWidget& mainWindow);

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

  AppContext& app_;
  QWidget& main_;
};

}  // namespace veltrano
