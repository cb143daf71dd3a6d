#include "displays/profile_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace veltrano {

namespace {

// How far outside the chart a row is held. A segment between a row inside and
// one this far away crosses the chart in the column of its inner end, as it
// would for any row further out.
constexpr double kFarRows = 8.0 * kProfileHeight;

void setPixel(QImage& chart, int x, int y, QRgb colour) {
  if (x < 0 || y < 0 || x >= chart.width() || y >= chart.height()) return;
  reinterpret_cast<QRgb*>(chart.scanLine(y))[x] = colour;
}

}  // namespace

QImage blankProfile() {
  QImage chart(kProfileWidth, kProfileHeight, QImage::Format_RGB32);
  chart.fill(kProfileBackground);
  return chart;
}

void drawEmptyProfile(QImage& chart) {
  chart.fill(kProfileBackground);
  for (int row : kProfileGridRows) drawSegment(chart, {0, row}, {chart.width() - 1, row}, kProfileGrid);
}

void drawNewColumn(QImage& chart, int x) {
  drawSegment(chart, {x, 0}, {x, chart.height() - 1}, kProfileBackground);
  for (int row : kProfileGridRows) setPixel(chart, x, row, kProfileGrid);
}

void copyRect(const QImage& from, const QRect& source, QImage& to, const QPoint& target) {
  const size_t bytes = size_t(source.width()) * sizeof(QRgb);
  for (int row = 0; row < source.height(); ++row) {
    const auto* in = reinterpret_cast<const QRgb*>(from.constScanLine(source.top() + row)) + source.left();
    auto* out = reinterpret_cast<QRgb*>(to.scanLine(target.y() + row)) + target.x();
    std::memmove(out, in, bytes);
  }
}

std::optional<int> profileRow(double delta, float scale) {
  const double row = kProfileHeight / 2 * delta / scale + kProfileHeight / 2;
  if (std::isnan(row)) return std::nullopt;
  return int(std::trunc(std::clamp(row, -kFarRows, kProfileHeight - 1 + kFarRows)));
}

// Bresenham's line: one pixel per step along the longer axis.
void drawSegment(QImage& chart, QPoint from, const QPoint& to, QRgb colour) {
  const int dx = std::abs(to.x() - from.x());
  const int dy = -std::abs(to.y() - from.y());
  const int stepX = from.x() < to.x() ? 1 : -1;
  const int stepY = from.y() < to.y() ? 1 : -1;
  int error = dx + dy;
  for (;;) {
    setPixel(chart, from.x(), from.y(), colour);
    if (from == to) return;
    const int doubled = 2 * error;
    if (doubled >= dy) {
      error += dy;
      from.rx() += stepX;
    }
    if (doubled <= dx) {
      error += dx;
      from.ry() += stepY;
    }
  }
}

}  // namespace veltrano
