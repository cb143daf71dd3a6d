#pragma once
// The Profile window: a strip chart of the height of each plotted position
// relative to the Visual window's reference height, one pixel column per
// position, the newest at the right edge, on a scale of plus and minus 1 m to
// 9000 m chosen with an up-down control.
#include <QImage>
#include <QRect>
#include <array>
#include <cstdint>
#include <optional>

#include "displays/held_drawing.h"
#include "displays/profile_chart.h"
#include "displays/tool_form.h"

namespace veltrano {

class AutoLabel;
class PlotImage;
class UpDown;

class TProfileForm : public ToolForm, public HeldDrawing {
  Q_OBJECT
 public:
  // `maxAltValue` is the scale position the window takes each time it is
  // shown, and where each change of the scale is kept.
  explicit TProfileForm(int32_t& maxAltValue);

  // The empty chart, shown at once, and the scale labels; the next point
  // starts a new trace.
  void resetProfile();
  // Scrolls the chart one pixel to the left and draws the height `delta`
  // metres below the reference (reference height less current height) at the
  // right edge, joined to the previous one.
  void addProfilePoint(double delta);
  // The scale from the stored position, then the empty chart.
  void FormShow();
  // After the up-down has stepped: one more step the same way, so a click
  // moves two; a new scale is kept and empties the chart.
  void maxAltUpDownClick(bool up);

  // The chart; every drawing goes here and is then copied to `AltImage`.
  QImage profileBitmap = blankProfile();
  // The height difference in metres at the top and bottom edges.
  float profileScale = profileScales[0];

 protected:
  void showEvent(QShowEvent* event) override;
  // The kept points in one go: a scroll step per point copies the shown chart
  // but its left-most column one pixel further left, so n points scroll it n
  // pixels at once and each is drawn in its column as it would have been.
  void drawKept() override;

 private:
  int32_t& maxAltValue_;
  // The rows of the points kept since the last drawing, oldest first, in a
  // ring; only a chart's width of them can still be seen. `rowBeforeKept_`
  // is the row of the point before the oldest, which its segment joins.
  std::array<std::optional<int>, kProfileWidth> keptRows_{};
  int keptFirst_ = 0;
  int keptCount_ = 0;
  std::optional<int> rowBeforeKept_;

  PlotImage* altImage_;
  AutoLabel* plusLabel_;
  AutoLabel* minusLabel_;
  UpDown* maxAltUpDown_;
  // The row of the newest point of the trace; none after a reset or a height
  // that is not a number, so that the next point is not joined to anything.
  std::optional<int> lastRow_;
};

}  // namespace veltrano
