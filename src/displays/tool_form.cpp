#include "displays/tool_form.h"

#include <QPainter>

namespace veltrano {

// The layouts were drawn for a narrow 11-pixel face; the common sans-serif
// faces are wider, so the font is condensed to keep captions clear of values.
QFont smallFont(bool bold) {
  QFont font(QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  font.setStretch(QFont::Condensed);
  font.setBold(bold);
  return font;
}

QToolButton* flatButton(QWidget* parent, const char* name, const QRect& place, const QIcon& icon,
                        const QSize& iconSize, const char* hint) {
  auto* button = new QToolButton(parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  button->setIcon(icon);
  button->setIconSize(iconSize);
  button->setGeometry(place);
  if (hint) button->setToolTip(QString::fromLatin1(hint));
  return button;
}

ToolForm::ToolForm(const char* objectName, int width, int height)
    : QFrame(nullptr, Qt::Window | Qt::FramelessWindowHint) {
  setObjectName(QString::fromLatin1(objectName));
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(1);
  setFont(smallFont());
  setFixedSize(width, height);
  setAutoFillBackground(true);
}

namespace {
// Centred blue capitals on silver inside a single black border.
class TitleStrip : public QLabel {
 public:
  TitleStrip(const QString& caption, QWidget* parent) : QLabel(caption, parent) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setPen(QColor(0, 0, 0));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(font());
    painter.drawText(rect(), Qt::AlignCenter, text());
  }
};
}  // namespace

QLabel* ToolForm::addTitleStrip(const QString& caption, const QRect& place) {
  auto* strip = new TitleStrip(caption, this);
  strip->setObjectName(QStringLiteral("StaticText1"));
  strip->setGeometry(place);
  strip->setAlignment(Qt::AlignCenter);
  strip->setAutoFillBackground(true);
  QPalette palette = strip->palette();
  palette.setColor(QPalette::Window, QColor(192, 192, 192));
  palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
  strip->setPalette(palette);
  return strip;
}

}  // namespace veltrano
