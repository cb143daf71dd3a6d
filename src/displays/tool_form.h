#pragma once
// The common look of the program's borderless windows: a raised bevel over the
// whole client area, an 11-pixel sans-serif font and, for tool windows, a title
// strip of centred blue capitals on silver with a single border.
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QToolButton>

namespace veltrano {

class ToolForm : public QFrame {
  Q_OBJECT
 public:
  ToolForm(const char* objectName, int width, int height);

  // The title strip `StaticText1` at the given place.
  QLabel* addTitleStrip(const QString& caption, const QRect& place);
};

// The program's 11-pixel sans-serif font, bold for value labels.
QFont smallFont(bool bold = false);

// A flat picture button that takes no focus, with its hint when one is given.
QToolButton* flatButton(QWidget* parent, const char* name, const QRect& place, const QIcon& icon,
                        const QSize& iconSize, const char* hint = nullptr);

}  // namespace veltrano
