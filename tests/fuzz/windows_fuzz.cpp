// Plays arbitrary input of any protocol through the program's receive path
// into the Position, Statistic, Satellites, Visual and S/N ratio windows, as
// the display router passes it on to shown windows, and then draws each
// window. Byte 0 of an input is this target's: bits 0 and 1 the protocol,
// bits 2 to 6 the Visual window's radius position, bit 7 the course pointer
// and speed dial; the rest is played as the receive path reads it. The windows
// are built and shown once and start each input as a new playback starts them:
// the statistics, the plot and the bars emptied, no used satellites. Runs on
// the offscreen platform.
#include <QApplication>
#include <QCheckBox>
#include <QPixmap>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "displays/plot_geometry.h"
#include "displays/position_form.h"
#include "displays/satellites_form.h"
#include "displays/snr_form.h"
#include "displays/statistic_form.h"
#include "displays/visual_form.h"
#include "receive_path.h"
#include "util/position_statistics.h"

namespace {

using namespace veltrano;

class WindowsSink : public DisplaySink {
 public:
  WindowsSink() {
    for (QWidget* window : windows()) window->show();
  }

  void start(uint8_t control) {
    resetPositionStatistics(statistics_);
    statistic_.resetStatisticDisplay();
    satellites_.clearSatelliteStatus();
    satellites_.newGsaGroup = true;
    visual_.controls().cogCheckBox->setChecked(control & 0x80);
    visual_.controls().sogCheckBox->setChecked(control & 0x80);
    visual_.controls().satCheckBox->setChecked(control & 0x40);
    radius_ = (control >> 2) % kRadiusPositions;
    visual_.FormShow();
    snr_.clearSnrChart();
  }

  void showSolution(const Fix& fix, const SolutionSatellites* satellites) override {
    position_.showFix(fix);
    if (statistic_.updateStatistic(fix))
      visual_.plotFix(fix, {statistic_.meanLat(), statistic_.meanLon(), statistic_.meanHeight()});
    if (satellites) satellites_.showSolutionSatellites(*satellites);
    visual_.SatCheckBoxClick();
    checkUsed();
  }
  void showGsa(const NmeaFieldTable& gsa) override {
    satellites_.showGsaSatellites(gsa);
    FUZZ_CHECK(satellites_.used.count() < UsedSatellites::kMaxEntries);
    checkUsed();
  }
  void endGsaGroup() override { satellites_.newGsaGroup = true; }
  void showBss(const NmeaFieldTable& bss) override {
    position_.showBssDiffAge(bss);
    satellites_.showBssStatus(bss);
  }
  void showDevice(std::string_view) override {}
  void showErrorCount(int32_t) override {}
  void showSatellitesInView(NmeaKind kind, const NmeaFieldTable& gsv, bool glonassSeen) override {
    if (visual_.satellitesInView.fillFromNmea(kind, gsv, glonassSeen, used(), true)) redrawSnr();
    FUZZ_CHECK(visual_.satellitesInView.working().size() <= size_t(SatellitesInView::kMaxEntries));
  }
  void showSatellitesInView(const BinrSatsInView& view) override {
    visual_.satellitesInView.fillFromBinr(view, used());
    redrawSnr();
  }
  void showSatellitesInView(const Binr2SatsInView& view) override {
    visual_.satellitesInView.fillFromBinr2(view, used());
    redrawSnr();
  }

  // Each window drawn whole, as the screen would show it.
  void drawWindows() {
    for (QWidget* window : windows()) {
      const QPixmap image = window->grab();
      FUZZ_CHECK(image.size() == window->size());
    }
  }

 private:
  const UsedSatellites& used() const { return satellites_.used; }
  // Every counted satellite is found by the lookup the satellites-in-view table uses.
  void checkUsed() const {
    for (const UsedSatellite& s : satellites_.used.counted()) FUZZ_CHECK(satellites_.used.contains(s));
  }
  std::array<QWidget*, 5> windows() { return {&position_, &statistic_, &satellites_, &visual_, &snr_}; }
  void redrawSnr() { snr_.redrawSnrChart(visual_.satellitesInView.displayed()); }

  int32_t radius_ = 0;
  PositionStatistics statistics_;
  TPositionForm position_;
  TStatisticForm statistic_{statistics_};
  TSatellitesForm satellites_;
  TVisualForm visual_{
      radius_, VisualSources{[this] {
                               return MeanPosition{statistic_.meanLat(), statistic_.meanLon(), statistic_.meanHeight()};
                             },
                             [] { return QuotedCaptions{}; }}};
  TSNRForm snr_;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // Held for the whole run, and so never reported as a leak.
  [[maybe_unused]] static QApplication* const application = new QApplication(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static constexpr ReceiverProtocol kProtocols[] = {ReceiverProtocol::NMEA, ReceiverProtocol::BINR,
                                                    ReceiverProtocol::BINR2, ReceiverProtocol::NMEA};
  static WindowsSink windows;
  windows.start(data[0]);
  fuzz::ReceivePath path(kProtocols[data[0] & 3], windows);
  path.play(data + 1, size - 1);
  windows.drawWindows();
  return 0;
}
