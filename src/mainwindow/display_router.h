#pragma once
// Passes what the fan-out and the intake report on to the windows that are
// shown, and the raw blocks to the recording: the one place that knows which
// window wants what.
#include <cstdint>
#include <string>

#include "decoding/fan_out_sinks.h"
#include "decoding/stream_intake.h"
#include "mainwindow/tool_window_tiler.h"

namespace veltrano {

class FramePacer;
class TMainForm;
class TPositionForm;
class TStatisticForm;
class TSatellitesForm;
class TSNRForm;
class TVisualForm;
class Recording;

struct RoutedWindows {
  TMainForm& main;
  TPositionForm& position;
  TStatisticForm& statistic;
  TSatellitesForm& satellites;
  TVisualForm& visual;
  TSNRForm& snr;
};

class DisplayRouter : public DisplaySink, public IntakeSink {
 public:
  // The windows are drawn when `pacer` says, after the blocks that changed them.
  DisplayRouter(RoutedWindows windows, FramePacer& pacer) : w_(windows), pacer_(pacer) {}
  // Where received blocks are stored; the recording is made after the link that feeds this router.
  void attachRecording(Recording& recording) { recording_ = &recording; }

  // DisplaySink
  void showSolution(const Fix& fix, const SolutionSatellites* satellites) override;
  void showGsa(const NmeaFieldTable& gsa) override;
  void endGsaGroup() override;
  void showBss(const NmeaFieldTable& bss) override;
  void showDevice(std::string_view text) override;
  void showErrorCount(int32_t count) override;
  void showSatellitesInView(NmeaKind kind, const NmeaFieldTable& gsv, bool glonassSeen) override;
  void showSatellitesInView(const BinrSatsInView& view) override;
  void showSatellitesInView(const Binr2SatsInView& view) override;

  // IntakeSink
  void blockRecorded(int32_t length) override;
  void showReceivedTotal(int64_t total) override;
  void repaintWindows() override;

 private:
  bool ticked(ToolWindow window) const;
  // The satellite table is kept while the sky view or the S/N ratio window is shown.
  bool satelliteTableWanted() const;
  // A fill of the satellite table was committed: the S/N ratio window, when shown, draws it.
  void satelliteTableCommitted();

  RoutedWindows w_;
  FramePacer& pacer_;
  Recording* recording_ = nullptr;
};

}  // namespace veltrano
