#include "displays/visual_form.h"

#include <QShowEvent>
#include <cmath>
#include <cstdio>

#include "decoding/receiver.h"
#include "displays/statistic_form.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "util/formatters.h"
#include "util/nmea_numbers.h"

namespace veltrano {

namespace {

constexpr double kKnotsToKmh = 1.852;
constexpr double kBinr2Degrees = 1e-7;
constexpr double kCentimetres = 0.01;
// Room for any double printed in fixed notation.
constexpr int kTextSize = 400;

void showMetres(AutoLabel* label, double metres) {
  char text[kTextSize];
  std::snprintf(text, sizeof text, "%0.3lf m", metres);
  label->setCaption(QString::fromLatin1(text));
}

struct NmeaFix {
  double latitude;
  double longitude;
  double height;
};

// The position of the sentence the NMEA position source selects: GNS, GGA, or
// RMC without a height.
NmeaFix nmeaFix(const NmeaAssembler& nmea) {
  constexpr int kAuto = 0;
  const bool gns = (nmea.positionSource == kAuto && nmea.gnsCount > 0) || nmea.positionSource == int(NmeaKind::GNS);
  const bool gga = (nmea.positionSource == kAuto && nmea.ggaCount > 0) || nmea.positionSource == int(NmeaKind::GGA);
  if (gns || gga) {
    const NmeaFieldTable& s = nmea.stored(gns ? NmeaKind::GNS : NmeaKind::GGA);
    return {nmeaCoordinateToRadians(s.text(2), s.text(3), 2), nmeaCoordinateToRadians(s.text(4), s.text(5), 3),
            leadingReal(s.text(9))};
  }
  const NmeaFieldTable& rmc = nmea.stored(NmeaKind::RMC);
  return {nmeaCoordinateToRadians(rmc.text(3), rmc.text(4), 2), nmeaCoordinateToRadians(rmc.text(5), rmc.text(6), 3),
          0};
}

}  // namespace

TVisualForm::TVisualForm(AppContext& app)
    : ToolForm(app, "TVisualForm", 427, 335), c_(buildVisualFormControls(this)) {
  addTitleStrip(QStringLiteral("VISUAL"), QRect(4, 2, 419, 17));
  for (QCheckBox* box : {c_.satCheckBox, c_.gpsCheckBox, c_.glnCheckBox, c_.sbasCheckBox, c_.gllCheckBox,
                         c_.bdsCheckBox, c_.cogCheckBox, c_.sogCheckBox})
    connect(box, &QCheckBox::toggled, this, [this] { SatCheckBoxClick(true); });
}

void TVisualForm::showEvent(QShowEvent* event) {
  ToolForm::showEvent(event);
  // Restoring a minimised window is no new show.
  if (!event->spontaneous()) FormShow();
}

void TVisualForm::FormShow() {
  c_.rUpDown->setMaximum(kRadiusPositions - 1);
  c_.rUpDown->setPosition(app_.mainForm->transport.radiusValue);
  plotRadius = plotRadiusAt(c_.rUpDown->position());
  pixelsPerMetre = pixelsPerMetreFor(plotRadius);
  resetPlot();
}

void TVisualForm::resetPlot() {
  layers.drawEmptyPlot(plotRadius);
  c_.image->showLayer(layers.plotLayer);
  markerX = 0;
  markerY = 0;
  layers.clearHitCounts();
  app_.hooks.resetProfile();
  app_.hooks.clearSatellitesInView();
}

LocalOffset TVisualForm::localOffset(double latitude, double longitude) const {
  return simpleOffset(latitude, longitude, refLat, refLon, pixelsPerMetre);
}

void TVisualForm::plotDot(int32_t x, int32_t y, bool isCurrent) { layers.plotDot(x, y, isCurrent); }

void TVisualForm::updateMarker() {
  const TStatisticForm& statistic = *app_.statisticForm;
  const PlaneOffset meanOffset =
      fullOffset(statistic.meanLat(), statistic.meanLon(), refLat, refLon, refHeight);
  plotDot(markerX, markerY, false);
  const LocalOffset current = localOffset(currentLat, currentLon);
  plotDot(current.x, current.y, true);
  markerX = current.x;
  markerY = current.y;
  layers.drawRingLabels(plotRadius);

  showMetres(c_.dBLabel, current.north);
  showMetres(c_.dLLabel, current.east);
  showMetres(c_.dHLabel, currentHeight - refHeight);
  showMetres(c_.dXLabel, std::sqrt(current.east * current.east + current.north * current.north));
  showMetres(c_.dMbLabel, meanOffset.north);
  showMetres(c_.dMlLabel, meanOffset.east);
  showMetres(c_.dMhLabel, statistic.meanHeight() - refHeight);
  showMetres(c_.dMxLabel, std::sqrt(meanOffset.east * meanOffset.east + meanOffset.north * meanOffset.north));

  if (app_.mainForm->controls().profileCheckBox->isChecked()) app_.hooks.addProfilePoint(refHeight - currentHeight);
}

void TVisualForm::finishBinaryPosition(float velocityNorth, float velocityEast) {
  if (c_.cogCheckBox->isChecked()) {
    if (velocityEast == 0 && velocityNorth == 0) {
      courseOverGround = 0;
    } else {
      courseOverGround = float(std::atan2(double(velocityEast), double(velocityNorth)) * 180 * (1 / kPi));
      if (courseOverGround < 0) courseOverGround += 360;
    }
  }
  if (c_.sogCheckBox->isChecked())
    speedOverGround = float(std::sqrt(double(velocityNorth) * velocityNorth + double(velocityEast) * velocityEast));
  app_.hooks.addPoint(currentLat, currentLon, currentHeight);
  updateMarker();
}

void TVisualForm::plotBinrPosition() {
  const BinrNavSolution& nav = app_.receiver->binr.navSolution;
  currentLat = nav.latitude;
  currentLon = nav.longitude;
  currentHeight = nav.height;
  finishBinaryPosition(float(nav.velocityNorth), float(nav.velocityEast));
}

void TVisualForm::plotBinr2Position() {
  const Binr2NavSolution& nav = app_.receiver->binr2.navSolution;
  constexpr double kUnitToRadians = kBinr2Degrees * kPi * (1 / 180.0);
  currentLat = nav.latitude * kUnitToRadians;
  currentLon = nav.longitude * kUnitToRadians;
  currentHeight = (double(nav.ellipsoidHeight) - nav.geoidSeparation) * kCentimetres;
  finishBinaryPosition(float(nav.velocityNorth * kCentimetres), float(nav.velocityEast * kCentimetres));
}

void TVisualForm::plotNmeaPosition() {
  const NmeaAssembler& nmea = app_.receiver->nmea;
  const NmeaFix fix = nmeaFix(nmea);
  currentLat = fix.latitude;
  currentLon = fix.longitude;
  currentHeight = fix.height;
  const NmeaFieldTable& rmc = nmea.stored(NmeaKind::RMC);
  if (c_.cogCheckBox->isChecked()) courseOverGround = float(leadingReal(rmc.text(8)));
  if (c_.sogCheckBox->isChecked()) speedOverGround = float(leadingReal(rmc.text(7)) * kKnotsToKmh);
  app_.hooks.addPoint(currentLat, currentLon, currentHeight);
  updateMarker();
}

void TVisualForm::SatCheckBoxClick(bool) {
  const bool sat = c_.satCheckBox->isChecked();
  c_.satSystemPanel->setEnabled(sat);
  if (sat != systemBoxesLit_) {
    colourSystemBoxes(c_, sat);
    systemBoxesLit_ = sat;
  }

  if (sat) app_.hooks.drawSkyView();
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
