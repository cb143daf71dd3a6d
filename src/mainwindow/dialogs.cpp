#include "mainwindow/dialogs.h"

#include <QFileDialog>
#include <QInputDialog>

#include "displays/window_placement.h"

namespace veltrano {

QString askPortPath(QWidget& owner) {
  QInputDialog dialog(&owner);
  dialog.setObjectName(QStringLiteral("PortPathDialog"));
  dialog.setWindowTitle(QStringLiteral("Other port"));
  dialog.setLabelText(
      QStringLiteral("Port path (/dev/pts/3, /dev/serial/by-id/...), name (ttyUSB0) or tcp://HOST:PORT:"));
  dialog.adjustSize();
  placeCentredOn(dialog, owner);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.textValue().trimmed();
}

// Qt's own dialog: the desktop's native one cannot be placed.
QString askFileToOpen(QWidget& owner, const QString& title, const QString& directory, const QString& filter) {
  QFileDialog dialog(&owner, title, directory, filter);
  dialog.setObjectName(QStringLiteral("OpenFileDialog"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.resize(dialog.sizeHint().expandedTo(QSize(600, 400)).boundedTo(availableArea(owner).size()));
  placeCentredOn(dialog, owner);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().constFirst();
}

}  // namespace veltrano
