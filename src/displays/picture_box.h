#pragma once
// A picture control: it shows its own copy of an off-screen picture, taken in
// one step, so the picture can be drawn on again without disturbing it. It is
// blank (the window's colour) until a picture is shown.
#include <QImage>
#include <QWidget>

namespace veltrano {

class PictureBox : public QWidget {
  Q_OBJECT
 public:
  PictureBox(QWidget* parent, const char* name, const QRect& place);

  // Copies `picture`, of the control's size and in 32-bit RGB, and schedules a repaint.
  void showPicture(const QImage& picture);
  const QImage& picture() const { return picture_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;
};

}  // namespace veltrano
