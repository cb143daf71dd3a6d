#include "displays/auto_label.h"

#include "displays/tool_form.h"

namespace veltrano {

AutoLabel::AutoLabel(QWidget* parent, const char* name, bool rightAligned, int edge, int y, bool bold)
    : QLabel(parent), rightAligned_(rightAligned), edge_(edge), top_(y) {
  setObjectName(QString::fromLatin1(name));
  setFont(smallFont(bold));
  setTextFormat(Qt::PlainText);
  setAlignment(rightAligned ? Qt::AlignRight | Qt::AlignTop : Qt::AlignLeft | Qt::AlignTop);
}

AutoLabel* AutoLabel::left(QWidget* parent, const char* name, int x, int y, const QString& text, bool bold) {
  auto* label = new AutoLabel(parent, name, false, x, y, bold);
  label->setText(text);
  label->fit();
  return label;
}

AutoLabel* AutoLabel::right(QWidget* parent, const char* name, int rightEdge, int y, const QString& text, bool bold) {
  auto* label = new AutoLabel(parent, name, true, rightEdge, y, bold);
  label->setText(text);
  label->fit();
  return label;
}

void AutoLabel::setCaption(const QString& text) {
  if (text == this->text()) return;
  setText(text);
  fit();
}

void AutoLabel::fit() {
  const QSize size = sizeHint();
  const int x = rightAligned_ ? edge_ - size.width() : edge_;
  setGeometry(x, top_, size.width(), size.height());
}

void AutoLabel::setTextColor(const QColor& color) {
  QPalette p = palette();
  if (p.color(QPalette::WindowText) == color) return;
  p.setColor(QPalette::WindowText, color);
  setPalette(p);
}

QColor AutoLabel::textColor() const { return palette().color(QPalette::WindowText); }

}  // namespace veltrano
