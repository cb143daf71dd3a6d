#pragma once
// An up-down control: two arrows that step a position, by a fixed increment,
// kept between 0 and a maximum. Horizontal: a left (down) and a right (up)
// arrow; vertical: an up arrow above a down arrow.
#include <QWidget>

class QToolButton;

namespace veltrano {

class UpDown : public QWidget {
  Q_OBJECT
 public:
  UpDown(QWidget* parent, const char* name, const QRect& place, int position, int maximum, int increment = 1,
         Qt::Orientation orientation = Qt::Horizontal);

  int position() const { return position_; }
  // Kept between 0 and the maximum.
  void setPosition(int position);
  int maximum() const { return maximum_; }
  // Brings the position within the new range.
  void setMaximum(int maximum);

 signals:
  // After an arrow has stepped the position; up is true for the right arrow.
  void clicked(bool up);

 private:
  void step(bool up);

  QToolButton* downArrow_;
  QToolButton* upArrow_;
  int position_ = 0;
  int maximum_ = 0;
  int increment_ = 1;
};

}  // namespace veltrano
