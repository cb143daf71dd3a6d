#include "displays/tool_form.h"

namespace veltrano {

QFont smallFont(bool bold) {
  QFont font(QStringLiteral("Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(11);
  font.setBold(bold);
  return font;
}

ToolForm::ToolForm(AppContext& app, const char* objectName, int width, int height)
    : QFrame(nullptr, Qt::Window | Qt::FramelessWindowHint), app_(app) {
  setObjectName(QString::fromLatin1(objectName));
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(1);
  setFont(smallFont());
  setFixedSize(width, height);
  setAutoFillBackground(true);
}

QLabel* ToolForm::addTitleStrip(const QString& caption, const QRect& place) {
  auto* strip = new QLabel(caption, this);
  strip->setObjectName(QStringLiteral("StaticText1"));
  strip->setGeometry(place);
  strip->setAlignment(Qt::AlignCenter);
  strip->setFrameStyle(QFrame::Box | QFrame::Plain);
  strip->setLineWidth(1);
  strip->setAutoFillBackground(true);
  QPalette palette = strip->palette();
  palette.setColor(QPalette::Window, QColor(192, 192, 192));
  palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
  strip->setPalette(palette);
  return strip;
}

}  // namespace veltrano
