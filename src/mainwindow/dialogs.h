#pragma once
// The program's dialogs, each centred on the window it belongs to and kept
// inside the screen's available area.
#include <QString>

class QWidget;

namespace veltrano {

// Asks for a port by its path; empty when the user cancels or types nothing.
QString askPortPath(QWidget& owner);

// Asks for an existing file to open; empty when the user cancels.
QString askFileToOpen(QWidget& owner, const QString& title, const QString& directory, const QString& filter);

}  // namespace veltrano
