#pragma once
// The picture control that shows one layer of the plot at a time: it keeps its
// own copy of the pixels, so the layers can be drawn on without disturbing it.
// It reports where a mouse button goes down on it and its double-clicks.
#include <QImage>
#include <QWidget>

namespace veltrano {

class PlotImage : public QWidget {
  Q_OBJECT
 public:
  PlotImage(QWidget* parent, const QRect& place);

  // Copies a layer in one step and schedules a repaint.
  void showLayer(const QImage& layer);
  const QImage& picture() const { return picture_; }

 signals:
  // A mouse button went down on pixel `at` of the picture; the second press of
  // a double-click too.
  void pressed(QPoint at);
  // The left button was double-clicked, after its press was reported.
  void doubleClicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  QImage picture_;
};

}  // namespace veltrano
