#pragma once
// The Statistic window: the quality filters for navigation solutions, the mean
// position and rms values of the accepted ones, and the counters. It is the
// gate for the Visual window's scatter plot.
#include "decoding/statistic_filter.h"
#include "displays/held_drawing.h"
#include "displays/tool_form.h"

class QCheckBox;
class QLineEdit;

namespace veltrano {

class AutoLabel;

class TStatisticForm : public ToolForm, public HeldDrawing {
  Q_OBJECT
 public:
  // Accepted samples go into `statistics`, which the owner resets.
  explicit TStatisticForm(PositionStatistics& statistics);

  // One navigation solution, while the window is shown; true when it passed
  // the filters (the Visual window then plots it).
  bool updateStatistic(const Fix& fix);
  // Result labels and counters back to their design-time captions.
  void resetStatisticDisplay();

  // Results of the last accepted sample (radians, radians, metres, metres,
  // metres, metres per second); they survive a reset.
  double meanLat() const { return filter_.meanLat(); }
  double meanLon() const { return filter_.meanLon(); }
  double meanHeight() const { return filter_.meanHeight(); }
  double rms2D() const { return filter_.rms2D(); }
  double rmsH() const { return filter_.rmsH(); }
  double rmsV() const { return filter_.rmsV(); }
  // The texts the result labels and counters show.
  const StatisticTexts& texts() const { return filter_.texts(); }
  bool obsChecked() const;

 signals:
  // ObsCheckBox changed its tick.
  void obsToggled(bool ticked);

 protected:
  void drawKept() override;

 private:
  void showTexts();

  StatisticFilter filter_;
  // The texts changed since they were last shown.
  bool textsKept_ = false;
  AutoLabel* latLabel_;
  AutoLabel* lonLabel_;
  AutoLabel* altLabel_;
  AutoLabel* rms2DLabel_;
  AutoLabel* rmsHLabel_;
  AutoLabel* rmsVLabel_;
  AutoLabel* nLabel_;
  AutoLabel* nallLabel_;
  AutoLabel* nanomLabel_;
  QLineEdit* hdopEdit_;
  QLineEdit* vdopEdit_;
  QCheckBox* diffCheckBox_;
  QCheckBox* obsCheckBox_;
  QCheckBox* threeDCheckBox_;
};

}  // namespace veltrano
