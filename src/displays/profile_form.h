#pragma once
// The Profile window: a strip chart of the height of each plotted position
// relative to the Visual window's reference height, one pixel column per
// position, the newest at the right edge, on a scale of plus and minus 1 m to
// 9000 m chosen with an up-down control.
#include <QImage>
#include <QRect>
#include <cstdint>
#include <optional>

#include "displays/profile_chart.h"
#include "displays/tool_form.h"

namespace veltrano {

class AutoLabel;
class PlotImage;
class UpDown;

class TProfileForm : public ToolForm {
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
  // A scroll step copies the shown chart but its left-most column one pixel
  // further left.
  const QRect scrollSource{1, 0, kProfileWidth - 1, kProfileHeight};
  const QRect scrollTarget{0, 0, kProfileWidth - 1, kProfileHeight};

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  int32_t& maxAltValue_;

  PlotImage* altImage_;
  AutoLabel* plusLabel_;
  AutoLabel* minusLabel_;
  UpDown* maxAltUpDown_;
  // The newest point of the trace; none after a reset or a height that is not
  // a number, so that the next point is not joined to anything.
  std::optional<QPoint> lastPoint_;
};

}  // namespace veltrano
