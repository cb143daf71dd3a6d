#include "mainwindow/button_glyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace veltrano {

namespace {

struct Ink {
  QColor main;
  QColor accent;
};

void fillPolygon(QPainter& p, const QColor& color, std::initializer_list<QPointF> points) {
  p.setPen(Qt::NoPen);
  p.setBrush(color);
  p.drawPolygon(QPolygonF(points));
}

void drawShape(QPainter& p, Glyph glyph, const Ink& ink) {
  switch (glyph) {
    case Glyph::Sync: {
      // Two arrows chasing each other round a circle.
      p.setPen(QPen(ink.main, 2, Qt::SolidLine, Qt::FlatCap));
      p.setBrush(Qt::NoBrush);
      const QRectF ring(3, 3, 10, 10);
      p.drawArc(ring, 20 * 16, 140 * 16);
      p.drawArc(ring, 200 * 16, 140 * 16);
      fillPolygon(p, ink.main, {{0.5, 6}, {5.5, 6}, {3, 9.5}});
      fillPolygon(p, ink.main, {{10.5, 10}, {15.5, 10}, {13, 6.5}});
      break;
    }
    case Glyph::Eject:
      fillPolygon(p, ink.main, {{2, 9}, {14, 9}, {8, 3}});
      p.fillRect(QRectF(2, 11, 12, 3), ink.main);
      break;
    case Glyph::Play:
      fillPolygon(p, ink.accent, {{4, 2}, {4, 14}, {12, 8}});
      break;
    case Glyph::FastForward:
      fillPolygon(p, ink.accent, {{1, 3}, {1, 13}, {8, 8}});
      fillPolygon(p, ink.accent, {{8, 3}, {8, 13}, {15, 8}});
      break;
    case Glyph::Pause:
      p.fillRect(QRectF(3, 3, 4, 10), ink.main);
      p.fillRect(QRectF(9, 3, 4, 10), ink.main);
      break;
    case Glyph::Stop:
      p.fillRect(QRectF(3, 3, 10, 10), ink.main);
      break;
    case Glyph::Record:
      p.setPen(Qt::NoPen);
      p.setBrush(ink.accent);
      p.drawEllipse(QRectF(3, 3, 10, 10));
      break;
    case Glyph::Clock:
      p.setPen(QPen(ink.main, 1.5));
      p.setBrush(Qt::NoBrush);
      p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
      p.setPen(QPen(ink.accent, 1.5, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(8, 8), QPointF(8, 4));
      p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
      break;
    case Glyph::Sound: {
      fillPolygon(p, ink.main, {{1, 6}, {4, 6}, {8, 2}, {8, 14}, {4, 10}, {1, 10}});
      p.setPen(QPen(ink.main, 1.2, Qt::SolidLine, Qt::RoundCap));
      p.setBrush(Qt::NoBrush);
      p.drawArc(QRectF(6, 5, 5, 6), -50 * 16, 100 * 16);
      p.drawArc(QRectF(5, 2.5, 9, 11), -50 * 16, 100 * 16);
      break;
    }
    case Glyph::Minimize:
      p.fillRect(QRectF(1, 6, 7, 2), ink.main);
      break;
    case Glyph::Close:
      p.setPen(QPen(ink.main, 1.6, Qt::SolidLine, Qt::FlatCap));
      p.drawLine(QPointF(1, 1), QPointF(8, 8));
      p.drawLine(QPointF(8, 1), QPointF(1, 8));
      break;
    case Glyph::TimerOn:
      // A tick.
      p.setPen(QPen(ink.accent, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.setBrush(Qt::NoBrush);
      p.drawPolyline(QPolygonF({{2.5, 8.5}, {6.5, 12.5}, {13.5, 3.5}}));
      break;
    case Glyph::TimerOff:
      // A cross.
      p.setPen(QPen(ink.accent, 2.5, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
      p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
      break;
  }
}

Ink normalInk(Glyph glyph) {
  switch (glyph) {
    case Glyph::Play:
    case Glyph::FastForward:
      return {Qt::black, QColor(0, 128, 0)};
    case Glyph::Record:
    case Glyph::TimerOff:
      return {Qt::black, QColor(255, 0, 0)};
    case Glyph::TimerOn:
      return {Qt::black, QColor(0, 128, 0)};
    case Glyph::Clock:
      return {QColor(0, 0, 128), QColor(255, 0, 0)};
    case Glyph::Sync:
    case Glyph::Sound:
      return {QColor(0, 0, 128), QColor(0, 0, 128)};
    default:
      return {Qt::black, Qt::black};
  }
}

QPixmap emptyPicture(QSize size) {
  QPixmap picture(size);
  picture.fill(Qt::transparent);
  return picture;
}

}  // namespace

QSize glyphSize(Glyph glyph) { return glyph == Glyph::Minimize || glyph == Glyph::Close ? QSize(9, 9) : QSize(16, 16); }

QIcon buttonGlyph(Glyph glyph) {
  const QSize size = glyphSize(glyph);
  QPixmap normal = emptyPicture(size);
  {
    QPainter p(&normal);
    p.setRenderHint(QPainter::Antialiasing);
    drawShape(p, glyph, normalInk(glyph));
  }
  // Disabled: a white copy one pixel down and right under a grey one.
  QPixmap disabled = emptyPicture(size);
  {
    QPainter p(&disabled);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(1, 1);
    drawShape(p, glyph, {Qt::white, Qt::white});
    p.translate(-1, -1);
    drawShape(p, glyph, {QColor(128, 128, 128), QColor(128, 128, 128)});
  }
  QIcon icon;
  icon.addPixmap(normal, QIcon::Normal);
  icon.addPixmap(disabled, QIcon::Disabled);
  return icon;
}

QPixmap titleEmblem() {
  QPixmap emblem = emptyPicture(QSize(16, 16));
  QPainter p(&emblem);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0, 0, 128), 1));
  p.setBrush(QColor(0, 96, 255));
  p.drawEllipse(QRectF(3.5, 3.5, 9, 9));
  p.setPen(QPen(QColor(0, 160, 0), 1));
  p.drawLine(QPointF(5, 8), QPointF(11, 8));
  p.drawLine(QPointF(8, 4), QPointF(8, 12));
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(0, 0, 0), 1));
  p.drawEllipse(QRectF(0.5, 5.5, 15, 5));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 200, 0));
  p.drawEllipse(QRectF(11, 1, 4, 4));
  return emblem;
}

}  // namespace veltrano
