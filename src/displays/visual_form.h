#pragma once
// The Visual window: every accepted position as a dot on a 307 x 307 scatter
// plot about the reference point, with range rings at R, 2R and 3R metres, a
// red marker on the newest position, the offsets of the current and the mean
// position beside it, and on request a course pointer and a speed dial. Its
// controls move the reference point and the scale and copy a report.
#include <QPoint>
#include <array>
#include <cstdint>
#include <functional>

#include "decoding/fix.h"
#include "decoding/satellites_in_view.h"
#include "displays/gauges.h"
#include "displays/held_drawing.h"
#include "displays/plot_geometry.h"
#include "displays/plot_layers.h"
#include "displays/report_picture.h"
#include "displays/tool_form.h"
#include "displays/visual_form_controls.h"

namespace veltrano {

// The mean position of the accepted samples: radians, radians, metres.
struct MeanPosition {
  double latitude = 0, longitude = 0, height = 0;
};

// What the window reads from other windows when an action needs it.
struct VisualSources {
  // The Statistic window's mean position, for Set Statistic.
  std::function<MeanPosition()> statisticMean;
  // The captions the report quotes, for Copy.
  std::function<QuotedCaptions()> quotedCaptions;
};

class TVisualForm : public ToolForm, public HeldDrawing {
  Q_OBJECT
 public:
  // `radiusValue` is the radius position the window takes each time it is
  // shown; the radius selector keeps its position there.
  TVisualForm(int32_t& radiusValue, VisualSources sources);

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
  // Whether the sky view is on ("VIEW---" ticked); asked for every satellite
  // message, so kept beside the box.
  bool skyViewShown() const { return skyViewShown_; }
  // R from the stored radius position, the reference edits, then the empty plot.
  void FormShow();

  // The reference edits show the reference point. An edit whose text changes
  // reads it back as if it had been typed.
  void fillReferenceEdits();
  // A coordinate text that reads as one moves the reference point and redraws
  // the plot; one that does not turns red and changes nothing.
  void LatEditChange();
  void LonEditChange();
  // The reference height, seen in dH and dMh from the next position on.
  void AltEditChange();
  // An arrow of the radius selector was clicked and has stepped once; one more
  // step the same way, then R from the position and the plot redrawn.
  void RUpDownClick(bool up);
  void ClearButtonClick();
  // Asks for the Options window over the plot.
  void OptionsItemClick();
  // The report picture of the plot and the measurement to the clipboard.
  void CopyButtonClick();
  // The report picture: the plot inverted, its title and the figures of the measurement.
  QImage reportPicture() const;
  // What the report shows beside the plot, as the windows show it now.
  ReportCaptions reportCaptions() const;
  // The reference point moves to the current position or to the Statistic
  // window's mean; a position the edits cannot show changes nothing.
  void SetCurrentButtonClick();
  void SetStatisticButtonClick();
  // A mouse button went down on the plot at `at`.
  void ImageMouseDown(QPoint at);
  // The reference point moves to the pixel last pressed.
  void ImageDblClick();

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
  // The pixel of the plot where a mouse button last went down.
  int32_t clickX = 0;
  int32_t clickY = 0;
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
  // The plot was emptied for a new reference point or scale: the stored
  // positions are to be drawn again.
  void redrawWanted();
  // Clear: the stored positions are to be dropped.
  void clearPointsWanted();
  // The Options window is to be shown modally, centred at `centre`, the
  // centre of the plot on the screen.
  void optionsWanted(QPoint centre);

 protected:
  void showEvent(QShowEvent* event) override;
  void drawKept() override;

 private:
  void connectControls();
  void moveReference(double latitude, double longitude, double height);
  void scaleFromPosition();
  // SatCheckBoxClick's drawing, of the sky as `sky` holds it.
  void showPlot(std::span<const SatelliteInView> sky);

  int32_t& radiusValue_;
  VisualSources sources_;

  VisualFormControls c_;
  Gauges gauges_;
  // "VIEW---" ticked, as the box's toggles left it.
  bool skyViewShown_ = false;
  // Whether the system boxes show their sky-view-on colours.
  bool systemBoxesLit_ = false;
  // Kept for the next drawing: the ring labels over the dots, the offsets the
  // eight labels show (dB, dL, dH, dX, dMb, dMl, dMh, dMx) and the shown
  // picture, with the sky as it was when it was asked for.
  bool ringLabelsKept_ = false;
  bool offsetsKept_ = false;
  std::array<double, 8> keptOffsets_{};
  bool plotKept_ = false;
  std::array<SatelliteInView, SatellitesInView::kMaxEntries + 1> keptSky_{};
  size_t keptSkyCount_ = 0;
};

}  // namespace veltrano
