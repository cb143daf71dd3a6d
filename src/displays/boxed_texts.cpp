#include "displays/boxed_texts.h"

#include <QFontMetrics>

namespace veltrano {

void BoxedTexts::write(QPainter& p, QPoint at, const QString& text, const QFont& font, const QColor& ink,
                       const QColor& paper) {
  QString key = text;
  key += QChar(font.bold() ? u'b' : u'n');
  for (const QRgb colour : {ink.rgb(), paper.rgb()}) {
    key += QChar(char16_t(colour & 0xFFFF));
    key += QChar(char16_t(colour >> 16));
  }
  auto box = boxes_.constFind(key);
  if (box == boxes_.constEnd()) {
    if (boxes_.size() >= kMostBoxes) boxes_.clear();
    box = boxes_.insert(key, drawBox(text, font, ink, paper));
  }
  p.drawImage(at - QPoint(kMargin, kMargin), *box);
}

// Transparent around the box, so that copying it leaves what lies beneath
// wherever no glyph reaches.
QImage BoxedTexts::drawBox(const QString& text, const QFont& font, const QColor& ink, const QColor& paper) const {
  const QFontMetrics metrics(font);
  const QSize cell(metrics.horizontalAdvance(text), metrics.height());
  QImage box(cell + QSize(2 * kMargin, 2 * kMargin), QImage::Format_ARGB32_Premultiplied);
  box.fill(Qt::transparent);
  QPainter p(&box);
  p.fillRect(QRect(QPoint(kMargin, kMargin), cell), paper);
  p.setFont(font);
  p.setPen(ink);
  p.drawText(kMargin, kMargin + metrics.ascent(), text);
  return box;
}

}  // namespace veltrano
