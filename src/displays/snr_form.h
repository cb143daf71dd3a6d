#pragma once
// The S/N ratio window: one bar per satellite in view, its height the
// signal-to-noise ratio above 10 dB-Hz, its colour the satellite's system, the
// ratio written in the bar and the satellite's number under the base line. It
// keeps no satellites of its own: it draws the table it is given.
#include <QFont>
#include <QImage>
#include <array>
#include <cstdint>
#include <span>

#include "decoding/satellites_in_view.h"
#include "displays/boxed_texts.h"
#include "displays/held_drawing.h"
#include "displays/tool_form.h"

namespace veltrano {

class PictureBox;

class TSNRForm : public ToolForm, public HeldDrawing {
  Q_OBJECT
 public:
  TSNRForm();

  // The empty chart (axis and the 40, 30 and 20 dB grid lines), shown at once.
  void clearSnrChart();
  // The empty chart with one bar per satellite of `satellites` whose system
  // is not empty, in table order and without gaps; shown at once. The chart
  // has room for 32 bars; later satellites are not drawn.
  void redrawSnrChart(std::span<const SatelliteInView> satellites);
  // Bar number `index` (0-based) into the chart, not shown.
  void drawSnrBar(int index, uint8_t snr, uint8_t system, uint8_t number);

  // The off-screen picture the bars are drawn into; `SNRImage` shows a copy.
  const QImage& chart() const { return chart_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void drawKept() override;

 private:
  // The face colour the window is painted in, behind the chart.
  QColor faceColour() const;

  PictureBox* image_;
  QImage chart_;
  QFont valueFont_;
  QFont labelFont_;
  BoxedTexts texts_;
  // The satellites of the last redraw, kept for the next drawing.
  bool chartKept_ = false;
  std::array<SatelliteInView, SatellitesInView::kMaxEntries + 1> kept_{};
  size_t keptCount_ = 0;
};

}  // namespace veltrano
