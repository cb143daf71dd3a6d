#pragma once
// The pieces of the altitude profile's strip chart: its size, the scale table,
// the empty chart with its grid, the row of a height and the drawing of the
// trace, all on a 32-bit picture with direct pixel access.
#include <QImage>
#include <QPoint>
#include <QRect>
#include <array>
#include <optional>

namespace veltrano {

// The chart, `AltImage`: 728 x 65 pixels, y growing downwards.
constexpr int kProfileWidth = 728;
constexpr int kProfileHeight = 65;
// Rows of the centre line (the reference height) and of the two grid lines at
// half the scale above and below it.
constexpr int kProfileCentreRow = kProfileHeight / 2;  // 32
constexpr std::array<int, 3> kProfileGridRows = {kProfileHeight / 4, kProfileCentreRow, 3 * kProfileHeight / 4};

constexpr QRgb kProfileBackground = qRgb(0, 0, 0);
constexpr QRgb kProfileGrid = qRgb(128, 128, 0);
constexpr QRgb kProfileTrace = qRgb(255, 255, 255);

// Positions of the scale selector `maxAltUpDown`.
constexpr int kProfileScalePositions = 36;

// The height difference in metres at the top and bottom edges, by selector
// position: 1 to 9, 10 to 90, 100 to 900, 1000 to 9000.
constexpr std::array<float, kProfileScalePositions> profileScales = [] {
  std::array<float, kProfileScalePositions> scales{};
  float decade = 1;
  for (int p = 0; p < kProfileScalePositions; ++p) {
    if (p > 0 && p % 9 == 0) decade *= 10;
    scales[size_t(p)] = float(p % 9 + 1) * decade;
  }
  return scales;
}();

// A blank chart of the chart's size.
QImage blankProfile();

// Black, with the centre line and the two grid lines across the whole width.
void drawEmptyProfile(QImage& chart);

// Column `x` back to the background, with the grid lines carried on into it.
void drawNewColumn(QImage& chart, int x);

// Copies `source` of `from` into `to` with its top-left corner at `target`;
// both pictures are 32-bit and the rectangles lie inside them.
void copyRect(const QImage& from, const QRect& source, QImage& to, const QPoint& target);

// The row of a height `delta` metres below the reference (negative above it)
// at a scale of `scale` metres: a difference of `scale` reaches the top or
// bottom edge, larger ones fall outside the chart. Rows far outside are held
// a fixed distance away, which draws the same pixels inside the chart. None
// for a difference that is not a number.
std::optional<int> profileRow(double delta, float scale);

// The straight line from `from` to `to`, both ends included, in `colour`;
// pixels outside the picture are skipped.
void drawSegment(QImage& chart, QPoint from, const QPoint& to, QRgb colour);

}  // namespace veltrano
