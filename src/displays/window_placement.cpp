#include "displays/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace veltrano {

QRect availableArea(const QWidget& widget) {
  const QScreen* screen = widget.screen();
  if (!screen) screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect();
}

QPoint keptInside(const QRect& place, const QRect& area) {
  if (area.isEmpty()) return place.topLeft();
  const int x = std::max(area.left(), std::min(place.left(), area.left() + area.width() - place.width()));
  const int y = std::max(area.top(), std::min(place.top(), area.top() + area.height() - place.height()));
  return {x, y};
}

void placeInside(QWidget& window, QPoint topLeft, const QWidget& owner) {
  window.winId();  // the platform's window, so that its frame counts in its size
  window.move(keptInside(QRect(topLeft, window.frameGeometry().size()), availableArea(owner)));
}

void placeCentredOn(QWidget& window, const QWidget& owner) {
  window.winId();
  const QSize size = window.frameGeometry().size();
  const QPoint centre = owner.frameGeometry().center();
  placeInside(window, centre - QPoint(size.width() / 2, size.height() / 2), owner);
}

}  // namespace veltrano
