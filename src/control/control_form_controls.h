#pragma once
// The controls of the Control window: one panel per row, each row's settings
// and its flat send button, and the free-text line at the bottom.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

#include "displays/auto_label.h"
#include "displays/up_down.h"

namespace veltrano {

struct ControlFormControls {
  // Restart.
  QRadioButton* coldRadioButton;
  QRadioButton* warmRadioButton;
  QToolButton* restartSpeedButton;

  // Satellite systems.
  QCheckBox* gpsCheckBox;
  QCheckBox* glnCheckBox;
  QCheckBox* sbasCheckBox;
  QCheckBox* gllCheckBox;
  QToolButton* satSystemSpeedButton;

  // Elevation mask, maximum position error, dynamic filter.
  QLineEdit* elevationEdit;
  UpDown* elevationUpDown;
  QToolButton* elevationSpeedButton;
  QLineEdit* maxRmsEdit;
  UpDown* maxRmsUpDown;
  QToolButton* maxRmsSpeedButton;
  QLineEdit* filterMaskEdit;
  QToolButton* filterSpeedButton;

  // Solution rate and options.
  QComboBox* pvtRateComboBox;
  QToolButton* pvtRateSpeedButton;
  QCheckBox* twoDCheckBox;
  QCheckBox* raimCheckBox;
  QToolButton* pvtSetSpeedButton;

  // The free-text line.
  AutoLabel* beginSendLabel;
  QLineEdit* sendEdit;
  AutoLabel* endSendLabel;
  QToolButton* sendButton;
};

// Builds every control with its name, place and design-time text inside the
// 427 x 335 Control window `form`. The read-only edits follow their up-downs.
ControlFormControls buildControlFormControls(QWidget* form);

}  // namespace veltrano
