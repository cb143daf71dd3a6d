#include "displays/flood_fill.h"

#include <algorithm>

namespace veltrano {

namespace {
bool sameColor(QRgb a, QRgb b) { return ((a ^ b) & 0x00FFFFFFu) == 0; }
}  // namespace

FloodFill::FloodFill(int width, int height)
    : width_(width), height_(height), visited_(size_t(width) * size_t(height)), pending_(size_t(width) * size_t(height)) {}

int FloodFill::fill(QImage& image, int x, int y, QRgb fillColor, QRgb borderColor) {
  const int width = std::min(width_, image.width());
  const int height = std::min(height_, image.height());
  if (x < 0 || y < 0 || x >= width || y >= height) return 0;
  const auto pixel = [&image](int px, int py) -> QRgb& { return reinterpret_cast<QRgb*>(image.scanLine(py))[px]; };
  if (sameColor(pixel(x, y), borderColor)) return 0;

  std::fill(visited_.begin(), visited_.end(), uint8_t(0));
  // Each pixel is marked when it is queued, so the queue never holds a pixel
  // twice and never outgrows the picture.
  size_t top = 0;
  const auto visit = [&](int px, int py) {
    if (px < 0 || py < 0 || px >= width || py >= height) return;
    const size_t index = size_t(py) * size_t(width_) + size_t(px);
    if (visited_[index] != 0 || sameColor(pixel(px, py), borderColor)) return;
    visited_[index] = 1;
    pending_[top++] = int32_t(index);
  };
  visit(x, y);
  int painted = 0;
  while (top > 0) {
    const int32_t index = pending_[--top];
    const int px = index % width_;
    const int py = index / width_;
    pixel(px, py) = fillColor;
    ++painted;
    visit(px - 1, py);
    visit(px + 1, py);
    visit(px, py - 1);
    visit(px, py + 1);
  }
  return painted;
}

}  // namespace veltrano
