#pragma once
// Where the main window shows whether the alerts sound: SoundLabel.
#include <QColor>
#include <QString>

namespace veltrano {

class SoundPanel {
 public:
  virtual ~SoundPanel() = default;
  virtual void showSound(const QString& text, const QColor& color) = 0;
};

}  // namespace veltrano
