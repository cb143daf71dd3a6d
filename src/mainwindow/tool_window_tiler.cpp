#include "mainwindow/tool_window_tiler.h"

#include <QWidget>

#include "control/control_form.h"
#include "displays/position_form.h"
#include "displays/profile_form.h"
#include "displays/satellites_form.h"
#include "displays/snr_form.h"
#include "displays/statistic_form.h"
#include "displays/visual_form.h"
#include "mainwindow/app_context.h"

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

ToolWindowTiler::ToolWindowTiler(AppContext& app, QWidget& mainWindow) : app_(app), main_(mainWindow) {}

int ToolWindowTiler::mainBottom() const { return main_.y() + main_.height(); }

int ToolWindowTiler::visualHeight() const { return app_.visualForm ? app_.visualForm->height() : 0; }

void ToolWindowTiler::position(bool ticked) {
  QWidget* window = app_.positionForm.get();
  if (!window) return;
  showAt(window, ticked, main_.x(), mainBottom());
  const int dy = ticked ? window->height() : -window->height();
  moveDown(app_.statisticForm.get(), dy);
  moveDown(app_.satellitesForm.get(), dy);
}

void ToolWindowTiler::statistic(bool ticked, bool positionTicked) {
  QWidget* window = app_.statisticForm.get();
  if (!window) return;
  showAt(window, ticked, main_.x(), mainBottom() + heightIf(app_.positionForm.get(), positionTicked));
  moveDown(app_.satellitesForm.get(), ticked ? window->height() : -window->height());
}

void ToolWindowTiler::satellites(bool ticked, bool positionTicked, bool statisticTicked) {
  QWidget* window = app_.satellitesForm.get();
  if (!window) return;
  showAt(window, ticked, main_.x(),
         mainBottom() + heightIf(app_.positionForm.get(), positionTicked) +
             heightIf(app_.statisticForm.get(), statisticTicked));
}

void ToolWindowTiler::visual(bool ticked) {
  if (app_.visualForm) showAt(app_.visualForm.get(), ticked, main_.x() + main_.width(), main_.y());
}

void ToolWindowTiler::profile(bool ticked) {
  QWidget* window = app_.profileForm.get();
  if (!window) return;
  showAt(window, ticked, main_.x(), main_.y() + visualHeight());
  moveDown(app_.snrForm.get(), ticked ? window->height() : -window->height());
}

void ToolWindowTiler::snr(bool ticked, bool profileTicked) {
  if (app_.snrForm) {
    showAt(app_.snrForm.get(), ticked, main_.x(),
           main_.y() + visualHeight() + heightIf(app_.profileForm.get(), profileTicked));
  }
}

void ToolWindowTiler::control(bool ticked) {
  if (app_.controlForm) showAt(app_.controlForm.get(), ticked, main_.x() + main_.width(), main_.y());
}

void ToolWindowTiler::moveGroup(int dx, int dy) {
  QWidget* windows[] = {&main_,
                        app_.positionForm.get(),
                        app_.statisticForm.get(),
                        app_.satellitesForm.get(),
                        app_.visualForm.get(),
                        app_.profileForm.get(),
                        app_.snrForm.get(),
                        app_.controlForm.get()};
  for (QWidget* window : windows) {
    if (window) window->move(window->pos() + QPoint(dx, dy));
  }
}

}  // namespace veltrano
