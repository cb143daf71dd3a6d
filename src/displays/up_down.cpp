#include "displays/up_down.h"

#include <QToolButton>
#include <algorithm>

namespace veltrano {

UpDown::UpDown(QWidget* parent, const char* name, const QRect& place, int position, int maximum, int increment,
               Qt::Orientation orientation)
    : QWidget(parent), downArrow_(new QToolButton(this)), upArrow_(new QToolButton(this)), increment_(increment) {
  setObjectName(QString::fromLatin1(name));
  setGeometry(place);
  if (orientation == Qt::Horizontal) {
    const int half = place.width() / 2;
    downArrow_->setArrowType(Qt::LeftArrow);
    downArrow_->setGeometry(0, 0, half, place.height());
    upArrow_->setArrowType(Qt::RightArrow);
    upArrow_->setGeometry(half, 0, place.width() - half, place.height());
  } else {
    const int half = place.height() / 2;
    upArrow_->setArrowType(Qt::UpArrow);
    upArrow_->setGeometry(0, 0, place.width(), half);
    downArrow_->setArrowType(Qt::DownArrow);
    downArrow_->setGeometry(0, half, place.width(), place.height() - half);
  }
  for (QToolButton* arrow : {downArrow_, upArrow_}) {
    arrow->setFocusPolicy(Qt::NoFocus);
    arrow->setAutoRepeat(true);
  }
  connect(downArrow_, &QToolButton::clicked, this, [this] { step(false); });
  connect(upArrow_, &QToolButton::clicked, this, [this] { step(true); });
  maximum_ = std::max(0, maximum);
  setPosition(position);
}

void UpDown::setPosition(int position) { position_ = std::clamp(position, 0, maximum_); }

void UpDown::setMaximum(int maximum) {
  maximum_ = std::max(0, maximum);
  setPosition(position_);
}

void UpDown::step(bool up) {
  setPosition(position_ + (up ? increment_ : -increment_));
  emit clicked(up);
}

}  // namespace veltrano
