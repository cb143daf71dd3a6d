#include "mainwindow/display_router.h"

#include <QCoreApplication>

#include "displays/position_form.h"
#include "displays/satellites_form.h"
#include "displays/statistic_form.h"
#include "displays/visual_form.h"
#include "mainwindow/main_form.h"
#include "mainwindow/recording.h"

namespace veltrano {

namespace {
QString shown(std::string_view text) { return QString::fromLatin1(text.data(), qsizetype(text.size())); }
}  // namespace

void DisplayRouter::showSolution(const Fix& fix, const SolutionSatellites* satellites) {
  const MainFormControls& c = w_.main.controls();
  if (c.positionCheckBox->isChecked()) w_.position.showFix(fix);
  if (c.statisticCheckBox->isChecked() && w_.statistic.updateStatistic(fix) && c.visualCheckBox->isChecked())
    w_.visual.plotFix(fix, {w_.statistic.meanLat(), w_.statistic.meanLon(), w_.statistic.meanHeight()});
  if (satellites && c.satellitesCheckBox->isChecked()) w_.satellites.showSolutionSatellites(*satellites);
  if (c.visualCheckBox->isChecked()) w_.visual.SatCheckBoxClick();
}

void DisplayRouter::showGsa(const NmeaFieldTable& gsa) {
  if (w_.main.controls().satellitesCheckBox->isChecked()) w_.satellites.showGsaSatellites(gsa);
}

void DisplayRouter::endGsaGroup() { w_.satellites.newGsaGroup = true; }

void DisplayRouter::showBss(const NmeaFieldTable& bss) {
  const MainFormControls& c = w_.main.controls();
  if (c.positionCheckBox->isChecked()) w_.position.showBssDiffAge(bss);
  if (c.satellitesCheckBox->isChecked()) w_.satellites.showBssStatus(bss);
}

void DisplayRouter::showDevice(std::string_view text) { w_.main.controls().deviceLabel->setCaption(shown(text)); }

void DisplayRouter::showErrorCount(int32_t count) {
  w_.main.controls().errorBytesLabel->setCaption(QString::number(count));
}

void DisplayRouter::recordBlock(const uint8_t* bytes, int32_t length) { recording_.recordBlock(bytes, length); }

void DisplayRouter::showReceivedBytes(const std::string& text) {
  w_.main.controls().receiveBytesLabel->setCaption(shown(text));
}

// Draws now what the handlers invalidated, window by window, instead of when the
// event loop next becomes idle; a hidden window has nothing to draw.
void DisplayRouter::repaintWindows() {
  for (QWidget* window : std::as_const(w_.repainted))
    if (window->isVisible()) QCoreApplication::sendPostedEvents(window, QEvent::UpdateRequest);
}

}  // namespace veltrano
