#pragma once
// Calls from the built windows into services that are not there yet. Each does
// nothing until its service exists; tests may watch them.
#include <cstdint>
#include <functional>
#include <string>

namespace veltrano {

struct AppHooks {
  std::function<void(int hz, int ms)> playTone = [](int, int) {};
  std::function<void(int hz, int ms)> beep = [](int, int) {};

  // Serial link and command writers.
  std::function<void()> closePort = [] {};
  std::function<void(uint8_t id, const uint8_t* data, int n)> writeBinrCommand = [](uint8_t, const uint8_t*, int) {};
  std::function<void(const uint8_t* data, int n)> writeBinr2Command = [](const uint8_t*, int) {};
  // Playback thread.
  std::function<void()> terminatePlayback = [] {};
  std::function<void()> resumePlayback = [] {};
  // Writers of the conversion and record files.
  // Creates the NMEA conversion file beside the raw file of that name; false when it could not.
  std::function<bool(const std::string& rawFileName)> openConversionFile = [](const std::string&) { return false; };
  std::function<void()> closeConversionFile = [] {};
  std::function<void()> closeRecordFile = [] {};
  // Sound output.
  std::function<void()> openToneDevice = [] {};
  std::function<void()> closeToneDevice = [] {};
  // Settings file and point store.
  std::function<void()> loadSettings = [] {};
  std::function<void()> saveSettings = [] {};
  std::function<void()> releasePoints = [] {};
  // Statistic window: result labels back to their design-time captions.
  std::function<void()> resetStatisticDisplay = [] {};
  // Cleared when playback or recording starts: the Satellites window's status,
  // the Visual window's plot, the S/N ratio chart and the point store.
  std::function<void()> clearSatelliteStatus = [] {};
  std::function<void()> resetPlot = [] {};
  std::function<void()> clearSnrChart = [] {};
  std::function<void()> clearPoints = [] {};

  // Actions of the main window's controls; `sender` is true when the user acted.
  std::function<void(bool sender)> synchroButtonClick = [](bool) {};
  std::function<void()> synchroTimerTimer = [] {};
  std::function<void()> ejectButtonClick = [] {};
  std::function<void(bool sender)> playButtonClick = [](bool) {};
  std::function<void(bool sender)> rewindButtonClick = [](bool) {};
  std::function<void()> pauseButtonClick = [] {};
  std::function<void(bool sender)> recordButtonClick = [](bool) {};
  std::function<void()> clockButtonClick = [] {};
  std::function<void(bool sender)> soundButtonClick = [](bool) {};
  std::function<void(bool sender)> protComboBoxChange = [](bool) {};
  // The port list is about to drop down.
  std::function<void()> portComboBoxDropDown = [] {};
};

}  // namespace veltrano
