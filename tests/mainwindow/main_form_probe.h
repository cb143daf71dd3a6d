#pragma once
// The main window's controls as a test finds them, by their object names.
#include <QObject>

#include "mainwindow/main_form.h"

namespace veltrano::test {

template <typename T>
T* named(const TMainForm& form, const char* name) {
  T* found = form.findChild<T*>(QString::fromLatin1(name));
  if (!found) qFatal("the main window has no %s", name);
  return found;
}

inline MainFormControls probeControls(const TMainForm& form) {
  MainFormControls c{};
  c.topPanel = named<QLabel>(form, "TopPanel");
  c.titleImage = named<QLabel>(form, "TitleImage");
  c.minimizeSpeedButton = named<QToolButton>(form, "MinimizeSpeedButton");
  c.closeSpeedButton = named<QToolButton>(form, "CloseSpeedButton");
  c.portComboBox = named<PortComboBox>(form, "PortComboBox");
  c.baudComboBox = named<QComboBox>(form, "BaudComboBox");
  c.protComboBox = named<QComboBox>(form, "ProtComboBox");
  c.rawDataCheckBox = named<QCheckBox>(form, "RawDataCheckBox");
  c.nmeaPopupMenu = named<QMenu>(form, "NMEAPopupMenu");
  c.autoItem = named<QAction>(form, "AutoItem");
  c.ggaItem = named<QAction>(form, "GGAItem");
  c.rmcItem = named<QAction>(form, "RMCItem");
  c.gnsItem = named<QAction>(form, "GNSItem");
  c.actionImage = named<QLabel>(form, "ActionImage");
  c.actionLabel = named<AutoLabel>(form, "ActionLabel");
  c.deviceLabel = named<AutoLabel>(form, "DeviceLabel");
  c.fileLabel = named<AutoLabel>(form, "FileLabel");
  c.receiveBytesLabel = named<AutoLabel>(form, "ReceiveBytesLabel");
  c.errorBytesLabel = named<AutoLabel>(form, "ErrorBytesLabel");
  c.soundLabel = named<AutoLabel>(form, "SoundLabel");
  c.timerLabel = named<AutoLabel>(form, "TimerLabel");
  c.infoLabel = named<AutoLabel>(form, "InfoLabel");
  c.synchroButton = named<QToolButton>(form, "SynchroButton");
  c.ejectButton = named<QToolButton>(form, "EjectButton");
  c.playButton = named<QToolButton>(form, "PlayButton");
  c.rewindButton = named<QToolButton>(form, "RewindButton");
  c.pauseButton = named<QToolButton>(form, "PauseButton");
  c.stopButton = named<QToolButton>(form, "StopButton");
  c.recordButton = named<QToolButton>(form, "RecordButton");
  c.clockButton = named<QToolButton>(form, "ClockButton");
  c.soundButton = named<QToolButton>(form, "SoundButton");
  c.positionCheckBox = named<QCheckBox>(form, "PositionCheckBox");
  c.statisticCheckBox = named<QCheckBox>(form, "StatisticCheckBox");
  c.satellitesCheckBox = named<QCheckBox>(form, "SatellitesCheckBox");
  c.visualCheckBox = named<QCheckBox>(form, "VisualCheckBox");
  c.profileCheckBox = named<QCheckBox>(form, "ProfileCheckBox");
  c.snrCheckBox = named<QCheckBox>(form, "SNRCheckBox");
  c.controlCheckBox = named<QCheckBox>(form, "ControlCheckBox");
  c.synchroTimer = named<QTimer>(form, "SynchroTimer");
  c.watchTimer = named<QTimer>(form, "WatchTimer");
  return c;
}

}  // namespace veltrano::test
