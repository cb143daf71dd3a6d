#pragma once
// The controls of the Visual window around its plot, placed as the window is
// laid out.
#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QToolButton>

#include "displays/auto_label.h"
#include "displays/plot_image.h"
#include "displays/up_down.h"

namespace veltrano {

struct VisualFormControls {
  PlotImage* image;
  QMenu* imagePopupMenu;
  QAction* clearItem;
  QAction* copyItem;
  QAction* setCurrentItem;
  QAction* setStatisticItem;
  QAction* optionsItem;

  // Reference point.
  QLineEdit* latEdit;
  QLineEdit* lonEdit;
  QLineEdit* altEdit;

  // Scale and actions.
  UpDown* rUpDown;
  QToolButton* clearButton;
  QToolButton* copyButton;
  QToolButton* setCurrentButton;
  QToolButton* setStatisticButton;

  // Offsets of the current position and of the mean from the reference point.
  AutoLabel* dBLabel;
  AutoLabel* dMbLabel;
  AutoLabel* dLLabel;
  AutoLabel* dMlLabel;
  AutoLabel* dHLabel;
  AutoLabel* dMhLabel;
  AutoLabel* dXLabel;
  AutoLabel* dMxLabel;

  // Gauges and sky view.
  QCheckBox* cogCheckBox;
  QCheckBox* sogCheckBox;
  QCheckBox* satCheckBox;
  QFrame* satSystemPanel;
  QCheckBox* gpsCheckBox;
  QCheckBox* glnCheckBox;
  QCheckBox* sbasCheckBox;
  QCheckBox* gllCheckBox;
  QCheckBox* bdsCheckBox;
};

// Builds every control with its name, place and design-time text inside the
// 427 x 335 Visual window `form`.
VisualFormControls buildVisualFormControls(QWidget* form);

// The five system boxes in their sky-view-on or sky-view-off colours.
void colourSystemBoxes(const VisualFormControls& c, bool skyViewOn);

}  // namespace veltrano
