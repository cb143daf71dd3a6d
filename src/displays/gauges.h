#pragma once
// The course-over-ground pointer and the speed-over-ground dial drawn over the
// plot: wedges outlined in silver and flood-filled, pixel by pixel.
#include <QImage>

#include "displays/flood_fill.h"

namespace veltrano {

class Gauges {
 public:
  Gauges();

  // A wedge between radius r1 and the tip at radius r2, centred on angle c and
  // d degrees wide at r1 (angles in degrees: 0 down, 90 right, 180 up).
  void drawGauge(QImage& layer, int r1, int r2, float c, float d, QRgb outline, QRgb fill);

  // Red pointer from the middle ring to the outer ring along the course, north up.
  void drawCoursePointer(QImage& layer, float courseOverGround);
  // Green needle between the inner and middle rings: 0 left, 90 up, 180 or
  // more right.
  void drawSpeedDial(QImage& layer, float speedOverGround);

 private:
  FloodFill floodFill_;
};

}  // namespace veltrano
