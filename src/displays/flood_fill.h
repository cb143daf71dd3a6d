#pragma once
// Fills the 4-connected area around a seed pixel that is bounded by a border
// colour: every reachable pixel not of the border colour takes the fill colour,
// whatever colour it had. The work buffers are sized once for a picture size.
#include <QImage>
#include <cstdint>
#include <vector>

namespace veltrano {

class FloodFill {
 public:
  FloodFill(int width, int height);

  // Returns the number of pixels painted; 0 when the seed is outside the
  // picture or of the border colour. Only the top-left width x height part of
  // `image` (a 32-bit RGB picture) is filled.
  int fill(QImage& image, int x, int y, QRgb fillColor, QRgb borderColor);

 private:
  int width_;
  int height_;
  std::vector<uint8_t> visited_;
  std::vector<int32_t> pending_;
};

}  // namespace veltrano
