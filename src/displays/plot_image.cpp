#include "displays/plot_image.h"

#include <QMouseEvent>
#include <QPainter>

#include "displays/plot_layers.h"

namespace veltrano {

PlotImage::PlotImage(QWidget* parent, const QRect& place)
    : QWidget(parent), picture_(place.size(), QImage::Format_RGB32) {
  setGeometry(place);
  picture_.fill(Qt::black);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCursor(Qt::CrossCursor);
}

void PlotImage::showLayer(const QImage& layer) {
  copyPixels(layer, picture_);
  update();
}

void PlotImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, picture_);
}

void PlotImage::mousePressEvent(QMouseEvent* event) { emit pressed(event->position().toPoint()); }

void PlotImage::mouseDoubleClickEvent(QMouseEvent* event) {
  emit pressed(event->position().toPoint());
  if (event->button() == Qt::LeftButton) emit doubleClicked();
}

}  // namespace veltrano
