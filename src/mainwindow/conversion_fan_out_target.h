#pragma once
// A fan-out target without windows or link: every window box reads unticked,
// every window, label and link call does nothing, and the conversion writers
// go to an NmeaConversionWriter. Converting a recording through it writes what
// playback of that recording writes.
#include "decoding/fan_out_target.h"
#include "mainwindow/nmea_conversion_writer.h"

namespace veltrano {

class ConversionFanOutTarget : public FanOutTarget {
 public:
  explicit ConversionFanOutTarget(NmeaConversionWriter& writer) : writer_(writer) {}

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

  void writeGgaBinr() override { writer_.writeGgaBinr(); }
  void writeRmcBinr() override { writer_.writeRmcBinr(); }
  void writeGsaBinr() override { writer_.writeGsaBinr(); }
  void writePorzdBinr() override { writer_.writePorzdBinr(); }
  void writeGsvBinr() override { writer_.writeGsvBinr(); }
  void writeAlverBinr() override { writer_.writeAlverBinr(); }
  void writeGgaBinr2() override { writer_.writeGgaBinr2(); }
  void writeRmcBinr2() override { writer_.writeRmcBinr2(); }
  void writeGsaBinr2() override { writer_.writeGsaBinr2(); }
  void writePorzdBinr2() override { writer_.writePorzdBinr2(); }
  void writeGsvBinr2() override { writer_.writeGsvBinr2(); }
  void writeAlverBinr2() override { writer_.writeAlverBinr2(); }

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
  NmeaConversionWriter& writer_;
};

}  // namespace veltrano
