#pragma once
// Everything the per-message fan-out reaches outside the decoders: the windows
// and their check boxes, the conversion writers, the link and the main window's
// labels and actions. The main window implements it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "decoding/nmea_field_table.h"

namespace veltrano {

class FanOutTarget {
 public:
  virtual ~FanOutTarget() = default;

  // Check boxes of the main window, and the Visual window's SAT box.
  virtual bool positionChecked() const = 0;
  virtual bool statisticChecked() const = 0;
  virtual bool satellitesChecked() const = 0;
  virtual bool visualChecked() const = 0;
  virtual bool snrChecked() const = 0;
  virtual bool visualSatChecked() const = 0;

  // Position window.
  virtual void showBinrPosition() = 0;
  virtual void showBinr2Position() = 0;
  virtual void showNmeaPosition() = 0;
  virtual void showBssDiffAge() = 0;
  // Statistic window.
  virtual void updateBinrStatistic() = 0;
  virtual void updateBinr2Statistic() = 0;
  virtual void updateNmeaStatistic() = 0;
  // Satellites window.
  virtual void showBinrSatellites() = 0;
  virtual void showBinr2Satellites() = 0;
  virtual void showGsaSatellites() = 0;
  virtual void showBssStatus() = 0;
  virtual void startNewGsaGroup() = 0;
  // Visual window: the redraw from the current solution and the satellite table.
  virtual void visualRedraw() = 0;
  virtual void fillSatellitesFromNmea(const NmeaFieldTable& sentence) = 0;
  virtual void fillSatellitesFromBinr() = 0;
  virtual void fillSatellitesFromBinr2() = 0;

  // NMEA conversion writers.
  virtual void writeGgaBinr() = 0;
  virtual void writeRmcBinr() = 0;
  virtual void writeGsaBinr() = 0;
  virtual void writePorzdBinr() = 0;
  virtual void writeGsvBinr() = 0;
  virtual void writeAlverBinr() = 0;
  virtual void writeGgaBinr2() = 0;
  virtual void writeRmcBinr2() = 0;
  virtual void writeGsaBinr2() = 0;
  virtual void writePorzdBinr2() = 0;
  virtual void writeGsvBinr2() = 0;
  virtual void writeAlverBinr2() = 0;

  // Link.
  virtual void writeNmeaCommand(std::string_view text) = 0;
  virtual void writeBinrCommand(uint8_t id, const uint8_t* data, int n) = 0;
  virtual void setPortBaud(int32_t baud) = 0;

  // Main window.
  virtual std::string deviceLabel() const = 0;
  virtual void setDeviceLabel(const std::string& text) = 0;
  virtual void setFileLabel(const std::string& text) = 0;
  virtual void setInfoLabel(const std::string& text) = 0;
  virtual void showErrorCount(const std::string& text) = 0;
  virtual std::string portComboText() const = 0;
  // The selected rate, or nothing when the rate text is not a whole number.
  virtual std::optional<int32_t> selectedBaud() const = 0;
  virtual void selectBaudItem(int32_t baud) = 0;
  virtual void stopSynchroTimer() = 0;
  virtual void stopTransport() = 0;    // Stop without sender
  virtual void startRecording() = 0;   // Record without sender
  virtual void sleepMs(int ms) = 0;
};

}  // namespace veltrano
