#pragma once
// The Visual window: every accepted position as a dot on a 307 x 307 scatter
// plot about the reference point, with range rings at R, 2R and 3R metres, a
// red marker on the newest position, the offsets of the current and the mean
// position beside it, and on request a course pointer and a speed dial.
#include <cstdint>

#include "displays/gauges.h"
#include "displays/plot_geometry.h"
#include "displays/plot_layers.h"
#include "displays/tool_form.h"
#include "displays/visual_form_controls.h"

namespace veltrano {

class TVisualForm : public ToolForm {
  Q_OBJECT
 public:
  explicit TVisualForm(AppContext& app);

  const VisualFormControls& controls() const { return c_; }

  // The empty plot: background, rings and labels, shown at once; the marker
  // to (0, 0), every hit counter to 127, the profile and the satellites in
  // view emptied.
  void resetPlot();
  // North and east offsets (metres) of a position from the reference point
  // and its pixel, by the simple projection.
  LocalOffset localOffset(double latitude, double longitude) const;
  // The 12-pixel dot: a history dot (counted, grey) or the current one (red).
  void plotDot(int32_t x, int32_t y, bool isCurrent);
  // The old marker becomes a history dot, the current position the new
  // marker; the ring labels and the eight offset labels are refreshed.
  void updateMarker();

  // One accepted sample of each protocol, read from the receiver state.
  void plotBinrPosition();
  void plotBinr2Position();
  void plotNmeaPosition();

  // Shows the plot, the sky view or the gauges over either, as the boxes say.
  void SatCheckBoxClick(bool sender = false);
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
  // Degrees; per second (BINR, BINR2) or per hour (NMEA), see the plot operations.
  float courseOverGround = 0;
  float speedOverGround = 0;
  int32_t markerX = 0;
  int32_t markerY = 0;
  PlotLayers layers;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // Course and speed from the velocities (metres per second), then the point
  // store and the marker.
  void finishBinaryPosition(float velocityNorth, float velocityEast);

  VisualFormControls c_;
  Gauges gauges_;
  // Whether the system boxes show their sky-view-on colours.
  bool systemBoxesLit_ = false;
};

}  // namespace veltrano
