#pragma once
// The controls of the main window, placed as the window is laid out.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

#include "displays/auto_label.h"
#include "mainwindow/port_combo_box.h"

namespace veltrano {

struct MainFormControls {
  // Title bar.
  QLabel* topPanel;
  QLabel* titleImage;
  QToolButton* minimizeSpeedButton;
  QToolButton* closeSpeedButton;

  // Left panel: port, rate and protocol.
  PortComboBox* portComboBox;
  QComboBox* baudComboBox;
  QComboBox* protComboBox;
  QCheckBox* rawDataCheckBox;
  QMenu* nmeaPopupMenu;
  QAction* autoItem;
  QAction* ggaItem;
  QAction* rmcItem;
  QAction* gnsItem;

  // Information panel.
  QLabel* actionImage;
  AutoLabel* actionLabel;
  AutoLabel* deviceLabel;
  AutoLabel* fileLabel;
  AutoLabel* receiveBytesLabel;
  AutoLabel* errorBytesLabel;
  AutoLabel* soundLabel;
  AutoLabel* timerLabel;
  AutoLabel* infoLabel;

  // Transport and panel buttons.
  QToolButton* synchroButton;
  QToolButton* ejectButton;
  QToolButton* playButton;
  QToolButton* rewindButton;
  QToolButton* pauseButton;
  QToolButton* stopButton;
  QToolButton* recordButton;
  QToolButton* clockButton;
  QToolButton* soundButton;

  // Right panel: the tool-window boxes.
  QCheckBox* positionCheckBox;
  QCheckBox* statisticCheckBox;
  QCheckBox* satellitesCheckBox;
  QCheckBox* visualCheckBox;
  QCheckBox* profileCheckBox;
  QCheckBox* snrCheckBox;
  QCheckBox* controlCheckBox;

  QTimer* synchroTimer;
  QTimer* watchTimer;
};

// Builds every control with its name, place, design-time text, colour and
// enabled state inside the 421 x 132 main window `form`.
MainFormControls buildMainFormControls(QWidget* form);

}  // namespace veltrano
