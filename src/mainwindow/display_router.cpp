#include "mainwindow/display_router.h"

#include "displays/position_form.h"
#include "displays/satellites_form.h"
#include "displays/snr_form.h"
#include "displays/statistic_form.h"
#include "displays/visual_form.h"
#include "link/recording.h"
#include "mainwindow/frame_pacer.h"
#include "mainwindow/main_form.h"

namespace veltrano {

namespace {
QString shown(std::string_view text) { return QString::fromLatin1(text.data(), qsizetype(text.size())); }
}  // namespace

bool DisplayRouter::ticked(ToolWindow window) const { return w_.main.isTicked(window); }

// The windows keep what a message changes until the pacer has them drawn.
void DisplayRouter::showSolution(const Fix& fix, const SolutionSatellites* satellites) {
  pacer_.holdDrawing();
  if (ticked(ToolWindow::Position)) w_.position.showFix(fix);
  if (ticked(ToolWindow::Statistic) && w_.statistic.updateStatistic(fix) && ticked(ToolWindow::Visual))
    w_.visual.plotFix(fix, {w_.statistic.meanLat(), w_.statistic.meanLon(), w_.statistic.meanHeight()});
  if (satellites && ticked(ToolWindow::Satellites)) w_.satellites.showSolutionSatellites(*satellites);
  if (ticked(ToolWindow::Visual)) w_.visual.SatCheckBoxClick();
}

void DisplayRouter::showGsa(const NmeaFieldTable& gsa) {
  pacer_.holdDrawing();
  if (ticked(ToolWindow::Satellites)) w_.satellites.showGsaSatellites(gsa);
}

void DisplayRouter::endGsaGroup() { w_.satellites.newGsaGroup = true; }

void DisplayRouter::showBss(const NmeaFieldTable& bss) {
  pacer_.holdDrawing();
  if (ticked(ToolWindow::Position)) w_.position.showBssDiffAge(bss);
  if (ticked(ToolWindow::Satellites)) w_.satellites.showBssStatus(bss);
}

void DisplayRouter::showDevice(std::string_view text) { w_.main.showDevice(shown(text)); }

void DisplayRouter::showErrorCount(int32_t count) { w_.main.showErrorCount(QString::number(count)); }

bool DisplayRouter::satelliteTableWanted() const { return w_.visual.skyViewShown() || ticked(ToolWindow::SNR); }

void DisplayRouter::showSatellitesInView(NmeaKind kind, const NmeaFieldTable& gsv, bool glonassSeen) {
  if (satelliteTableWanted() &&
      w_.visual.satellitesInView.fillFromNmea(kind, gsv, glonassSeen, w_.satellites.used, ticked(ToolWindow::SNR)))
    satelliteTableCommitted();
}

void DisplayRouter::showSatellitesInView(const BinrSatsInView& view) {
  if (!satelliteTableWanted()) return;
  w_.visual.satellitesInView.fillFromBinr(view, w_.satellites.used);
  satelliteTableCommitted();
}

void DisplayRouter::showSatellitesInView(const Binr2SatsInView& view) {
  if (!satelliteTableWanted()) return;
  w_.visual.satellitesInView.fillFromBinr2(view, w_.satellites.used);
  satelliteTableCommitted();
}

// Draws the copy the commit took: an NMEA cycle is committed by the first
// sentence of the next one, whose satellites are already in the working table.
void DisplayRouter::satelliteTableCommitted() {
  pacer_.holdDrawing();
  if (ticked(ToolWindow::SNR)) w_.snr.redrawSnrChart(w_.visual.satellitesInView.displayed());
}

void DisplayRouter::blockRecorded(int32_t) {
  if (recording_) recording_->blockRecorded();
}

void DisplayRouter::showReceivedTotal(int64_t total) {
  pacer_.holdDrawing();
  w_.main.showReceivedTotal(total);
}

void DisplayRouter::repaintWindows() { pacer_.blockDone(); }

}  // namespace veltrano
