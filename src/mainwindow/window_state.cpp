#include "mainwindow/window_state.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace veltrano {

namespace {

QJsonObject controlState(const QWidget& control) {
  QJsonObject state;
  if (const auto* label = qobject_cast<const QLabel*>(&control)) {
    state[QStringLiteral("text")] = label->text();
  } else if (const auto* edit = qobject_cast<const QLineEdit*>(&control)) {
    state[QStringLiteral("text")] = edit->text();
  } else if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
    state[QStringLiteral("text")] = button->text();
    if (button->isCheckable()) state[QStringLiteral("checked")] = button->isChecked();
  } else if (const auto* list = qobject_cast<const QComboBox*>(&control)) {
    state[QStringLiteral("text")] = list->currentText();
  } else {
    return {};
  }
  state[QStringLiteral("colour")] = control.palette().color(control.foregroundRole()).name();
  state[QStringLiteral("enabled")] = control.isEnabled();
  state[QStringLiteral("visible")] = control.isVisibleTo(control.window());
  return state;
}

}  // namespace

QJsonObject windowState(const QWidget& window) {
  QJsonObject controls;
  for (const QWidget* control : window.findChildren<QWidget*>()) {
    // The tool windows are children of the main window; their controls are theirs.
    if (control->objectName().isEmpty() || control->window() != &window) continue;
    const QJsonObject state = controlState(*control);
    if (!state.isEmpty()) controls[control->objectName()] = state;
  }
  return controls;
}

}  // namespace veltrano
