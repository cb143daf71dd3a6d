#pragma once
// Where the program's own windows and dialogs open: never partly off the screen,
// whatever the position of the window they belong to.
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace veltrano {

// The available area (without panels and docks) of the screen `widget` is on.
QRect availableArea(const QWidget& widget);

// The top left of `place` moved as little as needed for it to lie inside `area`;
// one larger than the area keeps the area's top left.
QPoint keptInside(const QRect& place, const QRect& area);

// Moves `window` to `topLeft`, kept inside the available area of the screen of `owner`.
void placeInside(QWidget& window, QPoint topLeft, const QWidget& owner);

// Moves `window` so that it is centred on `owner`, kept inside the available area.
void placeCentredOn(QWidget& window, const QWidget& owner);

}  // namespace veltrano
