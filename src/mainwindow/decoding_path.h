#pragma once
// Connects the decoding path to the windows: the stream intake and the
// per-message fan-out, with the calls they make into the main window, the tool
// windows, the conversion writers and the link. Calls into windows and writers
// that do not exist yet are the empty ones here.
#include <cstdint>

#include "decoding/fan_out_target.h"
#include "decoding/message_fan_out.h"
#include "decoding/stream_intake.h"
#include "link/link_receiver.h"
#include "mainwindow/app_context.h"

namespace veltrano {

class AppContext;

class DecodingPath : public IntakeTarget, public FanOutTarget, public LinkReceiver {
 public:
  explicit DecodingPath(AppContext& app);

  // Every received or played-back block enters here, on the main thread.
  void receiveBlock(const uint8_t* bytes, int32_t length) override { intake_.receiveBlock(bytes, length); }
  // A line error reported by the serial reader.
  void countLineError() override { intake_.countLineError(); }

  // IntakeTarget
  void handleNmeaByte(uint8_t b) override { fanOut_.handleNmeaByte(b); }
  void handleBinrByte(uint8_t b) override { fanOut_.handleBinrByte(b); }
  void handleBinr2Byte(uint8_t b) override { fanOut_.handleBinr2Byte(b); }
  void recordBlock(const uint8_t* bytes, int32_t length) override;
  void showReceivedBytes(const std::string& text) override;
  void showErrorCount(const std::string& text) override;
  void repaintWindows() override;

  // FanOutTarget
  bool positionChecked() const override;
  bool statisticChecked() const override;
  bool satellitesChecked() const override;
  bool visualChecked() const override;
  bool snrChecked() const override;
  bool visualSatChecked() const override;
  void showBinrPosition() override;
  void showBinr2Position() override;
  void showNmeaPosition() override;
  void showBssDiffAge() override;
  void updateBinrStatistic() override;
  void updateBinr2Statistic() override;
  void updateNmeaStatistic() override;
  void showBinrSatellites() override;
  void showBinr2Satellites() override;
  void showGsaSatellites() override;
  void showBssStatus() override;
  void startNewGsaGroup() override;
  void visualRedraw() override;
  void fillSatellitesFromNmea(const NmeaFieldTable&) override {}
  void fillSatellitesFromBinr() override {}
  void fillSatellitesFromBinr2() override {}
  void writeGgaBinr() override { app_.conversionWriter.writeGgaBinr(); }
  void writeRmcBinr() override { app_.conversionWriter.writeRmcBinr(); }
  void writeGsaBinr() override { app_.conversionWriter.writeGsaBinr(); }
  void writePorzdBinr() override { app_.conversionWriter.writePorzdBinr(); }
  void writeGsvBinr() override { app_.conversionWriter.writeGsvBinr(); }
  void writeAlverBinr() override { app_.conversionWriter.writeAlverBinr(); }
  void writeGgaBinr2() override { app_.conversionWriter.writeGgaBinr2(); }
  void writeRmcBinr2() override { app_.conversionWriter.writeRmcBinr2(); }
  void writeGsaBinr2() override { app_.conversionWriter.writeGsaBinr2(); }
  void writePorzdBinr2() override { app_.conversionWriter.writePorzdBinr2(); }
  void writeGsvBinr2() override { app_.conversionWriter.writeGsvBinr2(); }
  void writeAlverBinr2() override { app_.conversionWriter.writeAlverBinr2(); }
  void writeNmeaCommand(std::string_view text) override;
  void writeBinrCommand(uint8_t id, const uint8_t* data, int n) override;
  void setPortBaud(int32_t baud) override;
  std::string deviceLabel() const override;
  void setDeviceLabel(const std::string& text) override;
  void setFileLabel(const std::string& text) override;
  void setInfoLabel(const std::string& text) override;
  std::string portComboText() const override;
  std::optional<int32_t> selectedBaud() const override;
  void selectBaudItem(int32_t baud) override;
  void stopSynchroTimer() override;
  void stopTransport() override;
  void startRecording() override;
  void sleepMs(int ms) override;

 private:
  AppContext& app_;
  StreamIntake intake_;
  MessageFanOut fanOut_;
};

}  // namespace veltrano
