#include "displays/picture_box.h"

#include <QPainter>
#include <cstring>

namespace veltrano {

PictureBox::PictureBox(QWidget* parent, const char* name, const QRect& place)
    : QWidget(parent), picture_(place.size(), QImage::Format_RGB32) {
  setObjectName(QString::fromLatin1(name));
  setGeometry(place);
  picture_.fill(parent->palette().color(QPalette::Window));
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::showPicture(const QImage& picture) {
  Q_ASSERT(picture.size() == picture_.size() && picture.format() == picture_.format());
  std::memcpy(picture_.bits(), picture.constBits(), size_t(picture_.sizeInBytes()));
  update();
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, picture_);
}

}  // namespace veltrano
