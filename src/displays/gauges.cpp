#include "displays/gauges.h"

#include <cmath>
#include <cstdlib>

#include "displays/plot_geometry.h"

namespace veltrano {

namespace {

const QRgb kSilver = qRgb(192, 192, 192);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGreen = qRgb(0, 128, 0);
constexpr float kFastestSpeed = 180;
constexpr float kLargestAngle = 1e6f;

// An 8-connected line of one-pixel steps, both ends included; pixels outside
// the picture are skipped.
void drawLine(QImage& layer, PlotPixel from, PlotPixel to, QRgb color) {
  const int64_t dx = std::llabs(int64_t(to.x) - from.x);
  const int64_t dy = -std::llabs(int64_t(to.y) - from.y);
  const int sx = from.x < to.x ? 1 : -1;
  const int sy = from.y < to.y ? 1 : -1;
  int64_t error = dx + dy;
  int64_t x = from.x;
  int64_t y = from.y;
  for (;;) {
    if (x >= 0 && y >= 0 && x < layer.width() && y < layer.height())
      reinterpret_cast<QRgb*>(layer.scanLine(int(y)))[x] = color;
    if (x == to.x && y == to.y) return;
    const int64_t twice = 2 * error;
    if (twice >= dy) {
      error += dy;
      x += sx;
    }
    if (twice <= dx) {
      error += dx;
      y += sy;
    }
  }
}

}  // namespace

Gauges::Gauges() : floodFill_(kPlotSize, kPlotSize) {}

void Gauges::drawGauge(QImage& layer, int r1, int r2, float c, float d, QRgb outline, QRgb fill) {
  // The arc takes one step per degree; an angle so large that a step of one
  // degree would not change it is first brought within one turn.
  if (std::fabs(c) > kLargestAngle) c = std::fmod(c, 360.0f);
  float a = c - d * 0.5f;
  const PlotPixel start = gaugePoint(a, r1);
  PlotPixel pen = start;
  while (a <= c + d * 0.5f) {
    const PlotPixel next = gaugePoint(a, r1);
    drawLine(layer, pen, next, outline);
    pen = next;
    a = a + 1;
  }
  const PlotPixel tip = gaugePoint(c, r2);
  drawLine(layer, pen, tip, outline);
  drawLine(layer, tip, start, outline);
  const PlotPixel seed = gaugePoint(c, (r1 + r2) / 2);
  floodFill_.fill(layer, seed.x, seed.y, fill, outline);
}

void Gauges::drawCoursePointer(QImage& layer, float courseOverGround) {
  drawGauge(layer, kPlotSize / 3, kPlotSize / 2, 180 - courseOverGround, 8, kSilver, kRed);
}

void Gauges::drawSpeedDial(QImage& layer, float speedOverGround) {
  float s = speedOverGround;
  if (s > kFastestSpeed) s = kFastestSpeed;
  drawGauge(layer, kPlotSize / 6, kPlotSize / 3, 180 - (s + 270), 16, kSilver, kGreen);
}

}  // namespace veltrano
