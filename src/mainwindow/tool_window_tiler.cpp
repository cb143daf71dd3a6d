#include "mainwindow/tool_window_tiler.h"

#include <QWidget>


namespace veltrano {

namespace {

void moveDown(QWidget* window, int dy) {
  if (window) window->move(window->x(), window->y() + dy);
}

int heightIf(const QWidget* window, bool ticked) { return window && ticked ? window->height() : 0; }

// Places and shows `window` at (x, y) when ticked, hides it otherwise.
void showAt(QWidget* window, bool ticked, int x, int y) {
  if (!ticked) {
    window->hide();
    return;
  }
  window->move(x, y);
  window->show();
}

}  // namespace

int ToolWindowTiler::mainBottom() const { return main_.y() + main_.height(); }

int ToolWindowTiler::visualHeight() const { return w_.visual ? w_.visual->height() : 0; }

void ToolWindowTiler::position(bool ticked) {
  QWidget* window = w_.position;
  if (!window) return;
  showAt(window, ticked, main_.x(), mainBottom());
  const int dy = ticked ? window->height() : -window->height();
  moveDown(w_.statistic, dy);
  moveDown(w_.satellites, dy);
}

void ToolWindowTiler::statistic(bool ticked, bool positionTicked) {
  QWidget* window = w_.statistic;
  if (!window) return;
  showAt(window, ticked, main_.x(), mainBottom() + heightIf(w_.position, positionTicked));
  moveDown(w_.satellites, ticked ? window->height() : -window->height());
}

void ToolWindowTiler::satellites(bool ticked, bool positionTicked, bool statisticTicked) {
  QWidget* window = w_.satellites;
  if (!window) return;
  showAt(window, ticked, main_.x(),
         mainBottom() + heightIf(w_.position, positionTicked) +
             heightIf(w_.statistic, statisticTicked));
}

void ToolWindowTiler::visual(bool ticked) {
  if (w_.visual) showAt(w_.visual, ticked, main_.x() + main_.width(), main_.y());
}

void ToolWindowTiler::profile(bool ticked) {
  QWidget* window = w_.profile;
  if (!window) return;
  showAt(window, ticked, main_.x(), main_.y() + visualHeight());
  moveDown(w_.snr, ticked ? window->height() : -window->height());
}

void ToolWindowTiler::snr(bool ticked, bool profileTicked) {
  if (w_.snr) {
    showAt(w_.snr, ticked, main_.x(),
           main_.y() + visualHeight() + heightIf(w_.profile, profileTicked));
  }
}

void ToolWindowTiler::control(bool ticked) {
  if (w_.control) showAt(w_.control, ticked, main_.x() + main_.width(), main_.y());
}

void ToolWindowTiler::moveGroup(int dx, int dy) {
  QWidget* windows[] = {&main_,
                        w_.position,
                        w_.statistic,
                        w_.satellites,
                        w_.visual,
                        w_.profile,
                        w_.snr,
                        w_.control};
  for (QWidget* window : windows) {
    if (window) window->move(window->pos() + QPoint(dx, dy));
  }
}

}  // namespace veltrano
