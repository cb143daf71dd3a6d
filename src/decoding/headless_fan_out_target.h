#pragma once
// A fan-out target without windows, link or labels: every box reads unticked
// and every call does nothing. Headless users override the calls they serve.
#include "decoding/fan_out_target.h"

namespace veltrano {

class HeadlessFanOutTarget : public FanOutTarget {
 public:
  bool positionChecked() const override { return false; }
  bool statisticChecked() const override { return false; }
  bool satellitesChecked() const override { return false; }
  bool visualChecked() const override { return false; }
  bool snrChecked() const override { return false; }
  bool visualSatChecked() const override { return false; }

  void showBinrPosition() override {}
  void showBinr2Position() override {}
  void showNmeaPosition() override {}
  void showBssDiffAge() override {}
  void updateBinrStatistic() override {}
  void updateBinr2Statistic() override {}
  void updateNmeaStatistic() override {}
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
};

}  // namespace veltrano
