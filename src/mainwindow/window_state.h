#pragma once
// What a window shows, control by control: for every named control its text,
// its text colour as "#rrggbb", whether it is enabled and visible, and for a
// box whether it is ticked. Lets what the windows show be read from outside.
#include <QJsonObject>

class QWidget;

namespace veltrano {

QJsonObject windowState(const QWidget& window);

}  // namespace veltrano
