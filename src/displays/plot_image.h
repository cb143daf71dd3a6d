#pragma once
// The picture control that shows one layer of the plot at a time: it keeps its
// own copy of the pixels, so the layers can be drawn on without disturbing it.
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

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage picture_;
};

}  // namespace veltrano
