#include "displays/visual_form.h"

#include <QShowEvent>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "displays/sky_view.h"
#include "util/formatters.h"

namespace veltrano {

namespace {

// Room for any double printed in fixed notation.
constexpr int kTextSize = 400;

void showMetres(AutoLabel* label, double metres) {
  char text[kTextSize];
  std::snprintf(text, sizeof text, "%0.3lf m", metres);
  label->setCaption(QString::fromLatin1(text));
}

}  // namespace

TVisualForm::TVisualForm(int32_t& radiusValue, VisualSources sources)
    : ToolForm("TVisualForm", 427, 335),
      radiusValue_(radiusValue),
      sources_(std::move(sources)),
      c_(buildVisualFormControls(this)) {
  addTitleStrip(QStringLiteral("VISUAL"), QRect(4, 2, 419, 17));
  skyViewShown_ = c_.satCheckBox->isChecked();
  connect(c_.satCheckBox, &QCheckBox::toggled, this, [this](bool on) { skyViewShown_ = on; });
  for (QCheckBox* box : {c_.satCheckBox, c_.gpsCheckBox, c_.glnCheckBox, c_.sbasCheckBox, c_.gllCheckBox,
                         c_.bdsCheckBox, c_.cogCheckBox, c_.sogCheckBox})
    connect(box, &QCheckBox::toggled, this, [this] { SatCheckBoxClick(true); });
  connectControls();
}

void TVisualForm::showEvent(QShowEvent* event) {
  ToolForm::showEvent(event);
  // Restoring a minimised window is no new show.
  if (!event->spontaneous()) FormShow();
}

void TVisualForm::FormShow() {
  c_.rUpDown->setMaximum(kRadiusPositions - 1);
  c_.rUpDown->setPosition(radiusValue_);
  scaleFromPosition();
  fillReferenceEdits();
  resetPlot();
}

void TVisualForm::resetPlot() {
  // What was kept is drawn first, so that the empty plot is the last picture shown.
  drawKept();
  layers.drawEmptyPlot(plotRadius);
  c_.image->showLayer(layers.plotLayer);
  markerX = 0;
  markerY = 0;
  layers.clearHitCounts();
  satellitesInView.clearWorking();
  emit plotReset();
}

LocalOffset TVisualForm::localOffset(double latitude, double longitude) const {
  return simpleOffset(latitude, longitude, refLat, refLon, pixelsPerMetre);
}

void TVisualForm::plotDot(int32_t x, int32_t y, bool isCurrent) { layers.plotDot(x, y, isCurrent); }

void TVisualForm::updateMarker(const MeanPosition& mean) {
  const PlaneOffset meanOffset = fullOffset(mean.latitude, mean.longitude, refLat, refLon, refHeight);
  plotDot(markerX, markerY, false);
  const LocalOffset current = localOffset(currentLat, currentLon);
  plotDot(current.x, current.y, true);
  markerX = current.x;
  markerY = current.y;
  ringLabelsKept_ = true;
  keptOffsets_ = {current.north,
                  current.east,
                  currentHeight - refHeight,
                  std::sqrt(current.east * current.east + current.north * current.north),
                  meanOffset.north,
                  meanOffset.east,
                  mean.height - refHeight,
                  std::sqrt(meanOffset.east * meanOffset.east + meanOffset.north * meanOffset.north)};
  offsetsKept_ = true;
  if (!drawingHeld()) drawKept();
  emit heightPlotted(refHeight - currentHeight);
}

void TVisualForm::plotFix(const Fix& fix, const MeanPosition& mean) {
  currentLat = fix.latitude;
  currentLon = fix.longitude;
  currentHeight = fix.height;
  if (c_.cogCheckBox->isChecked()) courseOverGround = float(fix.course);
  if (c_.sogCheckBox->isChecked())
    speedOverGround = float(fix.protocol == ReceiverProtocol::NMEA ? fix.speedKmh : fix.speed);
  emit pointPlotted(currentLat, currentLon, currentHeight);
  updateMarker(mean);
}

void TVisualForm::SatCheckBoxClick(bool) {
  plotKept_ = true;
  keptSkyCount_ = 0;
  if (skyViewShown()) {
    const std::span<const SatelliteInView> sky = satellitesInView.displayed();
    std::copy(sky.begin(), sky.end(), keptSky_.begin());
    keptSkyCount_ = sky.size();
  }
  if (!drawingHeld()) drawKept();
}

// The ring labels stand over every dot plotted before them; drawn once after
// many dots they cover the same pixels as after each.
void TVisualForm::drawKept() {
  if (ringLabelsKept_) layers.drawRingLabels(plotRadius);
  ringLabelsKept_ = false;
  if (offsetsKept_) {
    AutoLabel* const labels[] = {c_.dBLabel,  c_.dLLabel,  c_.dHLabel,  c_.dXLabel,
                                 c_.dMbLabel, c_.dMlLabel, c_.dMhLabel, c_.dMxLabel};
    for (size_t i = 0; i < keptOffsets_.size(); ++i) showMetres(labels[i], keptOffsets_[i]);
  }
  offsetsKept_ = false;
  if (plotKept_) showPlot({keptSky_.data(), keptSkyCount_});
  plotKept_ = false;
}

void TVisualForm::showPlot(std::span<const SatelliteInView> sky) {
  const bool sat = c_.satCheckBox->isChecked();
  c_.satSystemPanel->setEnabled(sat);
  if (sat != systemBoxesLit_) {
    colourSystemBoxes(c_, sat);
    systemBoxesLit_ = sat;
  }

  if (sat) {
    const SkySystems shown{c_.gpsCheckBox->isChecked(), c_.glnCheckBox->isChecked(), c_.sbasCheckBox->isChecked(),
                           c_.gllCheckBox->isChecked(), c_.bdsCheckBox->isChecked()};
    drawSkyView(layers.skyLayer, layers.plotLayer, sky, shown, layers.font());
  }
  const QImage& base = sat ? layers.skyLayer : layers.plotLayer;
  const bool course = c_.cogCheckBox->isChecked();
  const bool speed = c_.sogCheckBox->isChecked();
  if (!course && !speed) {
    c_.image->showLayer(base);
    return;
  }
  copyPixels(base, layers.gaugeLayer);
  if (course) gauges_.drawCoursePointer(layers.gaugeLayer, courseOverGround);
  if (speed) gauges_.drawSpeedDial(layers.gaugeLayer, speedOverGround);
  c_.image->showLayer(layers.gaugeLayer);
}

}  // namespace veltrano
