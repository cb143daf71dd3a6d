#include "mainwindow/state_icon.h"

#include <QPainter>
#include <QPolygon>

namespace veltrano {

namespace {
const QColor kLime(0, 255, 0);
const QColor kRed(255, 0, 0);
}  // namespace

void drawStateIcon(QImage& icon, TransportState state) {
  icon.fill(Qt::black);
  QPainter painter(&icon);
  QPen pen(kLime, 2);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  painter.setPen(pen);
  const int w = icon.width();
  const int h = icon.height();
  auto path = [&painter](std::initializer_list<QPoint> points) { painter.drawPolyline(QPolygon(points)); };
  switch (state) {
    case TransportState::SYNC:
      path({{1, h - 1}, {1, 1}, {w / 2, 1}, {w / 2, h - 1}, {w - 1, h - 1}, {w - 1, 1}});
      break;
    case TransportState::OPEN:
      path({{1, h / 2}, {w - 2, h / 2}, {w / 2, 1}, {1, h / 2}});
      path({{1, h - 1}, {w - 1, h - 1}, {w - 1, 3 * h / 4}, {1, 3 * h / 4}, {1, h - 1}});
      break;
    case TransportState::PLAY:
      path({{1, 1}, {1, h - 2}, {w / 2, h / 2}, {1, 1}});
      break;
    case TransportState::FF:
      path({{1, 1}, {1, h - 2}, {w / 2, h / 2}, {1, 1}});
      path({{w / 2 + 1, 1}, {w / 2 + 1, h - 2}, {w - 1, h / 2}, {w / 2 + 1, 1}});
      break;
    case TransportState::PAUSE:
      path({{1, 1}, {1, h - 2}, {w / 3, h - 2}, {w / 3, 1}, {1, 1}});
      path({{2 * w / 3 + 1, 1}, {2 * w / 3 + 1, h - 2}, {w - 1, h - 2}, {w - 1, 1}, {2 * w / 3 + 1, 1}});
      break;
    case TransportState::STOP:
      path({{1, 1}, {1, h - 2}, {w - 1, h - 2}, {w - 1, 1}, {1, 1}});
      break;
    case TransportState::REC:
      pen.setColor(kRed);
      painter.setPen(pen);
      painter.drawEllipse(QRectF(QPointF(1, 1), QPointF(w - 1, h - 1)));
      break;
  }
}

}  // namespace veltrano
