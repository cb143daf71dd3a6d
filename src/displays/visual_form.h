#pragma once
// The Visual window: every accepted position as a dot on a 307 x 307 scatter
// plot about the reference point, with range rings at R, 2R and 3R metres, a
// red marker on the newest position, the offsets of the current and the mean
// position beside it, and on request a course pointer and a speed dial.
#include <cstdint>

#include "decoding/fix.h"
#include "decoding/satellites_in_view.h"
#include "displays/gauges.h"
#include "displays/plot_geometry.h"
#include "displays/plot_layers.h"
#include "displays/tool_form.h"
#include "displays/visual_form_controls.h"

namespace veltrano {

// The mean position of the accepted samples: radians, radians, metres.
struct MeanPosition {
  double latitude = 0, longitude = 0, height = 0;
};

class TVisualForm : public ToolForm {
  Q_OBJECT
 public:
  // `radiusValue` is the radius position the window takes each time it is shown.
  explicit TVisualForm(const int32_t& radiusValue);

  const VisualFormControls& controls() const { return c_; }

  // The empty plot: background, rings and labels, shown at once; the marker
  // to (0, 0), every hit counter to 127; then plotReset.
  void resetPlot();
  // North and east offsets (metres) of a position from the reference point
  // and its pixel, by the simple projection.
  LocalOffset localOffset(double latitude, double longitude) const;
  // The 12-pixel dot: a history dot (counted, grey) or the current one (red).
  void plotDot(int32_t x, int32_t y, bool isCurrent);
  // The old marker becomes a history dot, the current position the new
  // marker; the ring labels and the eight offset labels (against `mean`) are
  // refreshed; then heightPlotted.
  void updateMarker(const MeanPosition& mean);

  // One accepted sample, with the mean of all accepted ones so far.
  void plotFix(const Fix& fix, const MeanPosition& mean);

  // Shows the plot, the sky view or the gauges over either, as the boxes say.
  void SatCheckBoxClick(bool sender = false);
  // Whether the sky view is on ("VIEW---" ticked).
  bool skyViewShown() const;
  // R from the stored radius position, then the empty plot.
  void FormShow();

  // Reference point: radians, radians, metres.
  double refLat = 0;
  double refLon = 0;
  double refHeight = 0;
  // R, the inner ring's radius in metres, and the scale it gives.
  float plotRadius = 0;
  float pixelsPerMetre = 0;
  // The last plotted position: radians, radians, metres.
  double currentLat = 0;
  double currentLon = 0;
  double currentHeight = 0;
  // Degrees; metres per second (BINR, BINR2) or kilometres per hour (NMEA).
  float courseOverGround = 0;
  float speedOverGround = 0;
  int32_t markerX = 0;
  int32_t markerY = 0;
  PlotLayers layers;
  // The program's one table of the satellites in view: the sky view draws it,
  // the S/N ratio window shows its bars. resetPlot empties the working part.
  SatellitesInView satellitesInView;

 signals:
  // The plot was emptied: so are the profile and the satellites in view.
  void plotReset();
  // An accepted position, for the point store.
  void pointPlotted(double latitude, double longitude, double height);
  // The reference height less the newest height, for the altitude profile.
  void heightPlotted(double belowReference);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  const int32_t& radiusValue_;

  VisualFormControls c_;
  Gauges gauges_;
  // Whether the system boxes show their sky-view-on colours.
  bool systemBoxesLit_ = false;
};

}  // namespace veltrano
