#pragma once
// The fan-out's target for the statistics without windows: the Statistic
// window counts as shown, every other window as hidden, and the solutions go
// into the shared filter and accumulation. Writers, link and labels do nothing.
#include "decoding/fan_out_target.h"
#include "decoding/receiver.h"
#include "util/statistic_filter.h"

namespace veltrano {

class StatisticFanOutTarget : public FanOutTarget {
 public:
  StatisticFanOutTarget(const Receiver& receiver, StatisticFilter& filter) : receiver_(receiver), filter_(filter) {}

  bool positionChecked() const override { return false; }
  bool statisticChecked() const override { return true; }
  bool satellitesChecked() const override { return false; }
  bool visualChecked() const override { return false; }
  bool snrChecked() const override { return false; }
  bool visualSatChecked() const override { return false; }

  void updateBinrStatistic() override { filter_.updateBinrStatistic(receiver_.binr); }
  void updateBinr2Statistic() override { filter_.updateBinr2Statistic(receiver_.binr2); }
  void updateNmeaStatistic() override { filter_.updateNmeaStatistic(receiver_.nmea); }

  void showBinrPosition() override {}
  void showBinr2Position() override {}
  void showNmeaPosition() override {}
  void showBssDiffAge() override {}
  void showBinrSatellites() override {}
  void showBinr2Satellites() override {}
  void showGsaSatellites() override {}
  void showBssStatus() override {}
  void startNewGsaGroup() override {}
  void visualRedraw() override {}
  void fillSatellitesFromNmea(const NmeaFieldTable&) override {}
  void fillSatellitesFromBinr() override {}
  void fillSatellitesFromBinr2() override {}
  void writeGgaBinr() override {}
  void writeRmcBinr() override {}
  void writeGsaBinr() override {}
  void writePorzdBinr() override {}
  void writeGsvBinr() override {}
  void writeAlverBinr() override {}
  void writeGgaBinr2() override {}
  void writeRmcBinr2() override {}
  void writeGsaBinr2() override {}
  void writePorzdBinr2() override {}
  void writeGsvBinr2() override {}
  void writeAlverBinr2() override {}
  void writeNmeaCommand(std::string_view) override {}
  void writeBinrCommand(uint8_t, const uint8_t*, int) override {}
  void setPortBaud(int32_t) override {}
  std::string deviceLabel() const override { return {}; }
  void setDeviceLabel(const std::string&) override {}
  void setFileLabel(const std::string&) override {}
  void setInfoLabel(const std::string&) override {}
  void showErrorCount(const std::string&) override {}
  std::string portComboText() const override { return {}; }
  std::optional<int32_t> selectedBaud() const override { return std::nullopt; }
  void selectBaudItem(int32_t) override {}
  void stopSynchroTimer() override {}
  void stopTransport() override {}
  void startRecording() override {}
  void sleepMs(int) override {}

 private:
  const Receiver& receiver_;
  StatisticFilter& filter_;
};

}  // namespace veltrano
