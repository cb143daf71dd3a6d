#include "mainwindow/about_form.h"

#include <QEvent>
#include <QPainter>
#include <QPixmap>

namespace veltrano {

namespace {
// A receiver under a sky of orbits, with the program's name.
QPixmap aboutPicture() {
  QPixmap picture(100, 97);
  picture.fill(QColor(0, 0, 64));
  QPainter painter(&picture);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(0, 160, 255), 1));
  painter.drawEllipse(QPointF(50, 42), 40, 16);
  painter.drawEllipse(QPointF(50, 42), 16, 34);
  painter.setBrush(QColor(255, 255, 0));
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(QPointF(88, 38), 3, 3);
  painter.drawEllipse(QPointF(58, 10), 3, 3);
  painter.setBrush(QColor(192, 192, 192));
  painter.drawRect(44, 38, 12, 10);
  painter.setPen(QColor(255, 255, 255));
  painter.setFont(smallFont(true));
  painter.drawText(QRect(0, 76, 100, 18), Qt::AlignCenter, QStringLiteral("VELTRANO"));
  return picture;
}
}  // namespace

TAboutForm::TAboutForm() : ToolForm("TAboutForm", 132, 132) {
  image_ = new QLabel(this);
  image_->setObjectName(QStringLiteral("Image1"));
  image_->setGeometry(16, 17, 100, 97);
  image_->setPixmap(aboutPicture());
  image_->setCursor(Qt::PointingHandCursor);
  image_->installEventFilter(this);
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == image_ && event->type() == QEvent::MouseButtonRelease) {
    close();
    return true;
  }
  return ToolForm::eventFilter(watched, event);
}

}  // namespace veltrano
