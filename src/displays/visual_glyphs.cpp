#include "displays/visual_glyphs.h"

#include <QPainter>
#include <QPixmap>

namespace veltrano {

namespace {

const QColor kInk(0, 0, 0);
const QColor kRed(200, 0, 0);
const QColor kBlue(0, 0, 200);
const QColor kPaper(255, 255, 255);

void drawGlyph(QPainter& p, VisualGlyph glyph) {
  switch (glyph) {
    case VisualGlyph::Clear:
      // A crossed-out plot.
      p.setPen(QPen(kInk, 1));
      p.setBrush(kPaper);
      p.drawRect(QRectF(1.5, 1.5, 12, 12));
      p.setPen(QPen(kRed, 2));
      p.drawLine(QPointF(4, 4), QPointF(14, 14));
      p.drawLine(QPointF(14, 4), QPointF(4, 14));
      break;
    case VisualGlyph::Copy:
      // Two sheets.
      p.setPen(QPen(kInk, 1));
      p.setBrush(kPaper);
      p.drawRect(QRectF(1.5, 1.5, 8, 10));
      p.drawRect(QRectF(6.5, 4.5, 8, 10));
      break;
    case VisualGlyph::SetCurrent:
      // Cross-hair on a red dot.
      p.setPen(QPen(kInk, 1));
      p.drawLine(QPointF(8, 1), QPointF(8, 15));
      p.drawLine(QPointF(1, 8), QPointF(15, 8));
      p.setPen(Qt::NoPen);
      p.setBrush(kRed);
      p.drawEllipse(QPointF(8, 8), 3, 3);
      break;
    case VisualGlyph::SetStatistic:
      // Cross-hair on a ring of scattered dots.
      p.setPen(QPen(kInk, 1));
      p.drawLine(QPointF(8, 1), QPointF(8, 15));
      p.drawLine(QPointF(1, 8), QPointF(15, 8));
      p.setPen(QPen(kBlue, 1.5));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QPointF(8, 8), 5, 5);
      break;
    case VisualGlyph::Options:
      // A list with ticks.
      p.setPen(QPen(kInk, 1));
      for (int row : {3, 8, 13}) p.drawLine(QPointF(6, row + 0.5), QPointF(15, row + 0.5));
      p.setPen(QPen(kBlue, 2));
      for (int row : {3, 8, 13}) p.drawPoint(QPointF(2.5, row + 0.5));
      break;
  }
}

}  // namespace

QIcon visualGlyph(VisualGlyph glyph) {
  QPixmap picture(16, 16);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  drawGlyph(p, glyph);
  p.end();
  return QIcon(picture);
}

}  // namespace veltrano
