#pragma once
// The Position window: the latest navigation solution of the receiver as one
// block of labels, written by one update operation per protocol.
#include <QColor>
#include <cstdint>

#include "decoding/fix.h"
#include "displays/tool_form.h"

namespace veltrano {

class AutoLabel;
struct NmeaFieldTable;

class TPositionForm : public ToolForm {
  Q_OBJECT
 public:
  TPositionForm();

  // Every label from a navigation solution; DiffAgeLabel only where the fix
  // carries an age of corrections (NMEA GGA). Labels of values the fix does not
  // have keep their text.
  void showFix(const Fix& fix);
  // DiffAgeLabel from a BSS sentence.
  void showBssDiffAge(const NmeaFieldTable& bss);
  // DiffAgeLabel from an age of corrections in seconds.
  void showDiffAge(float age);
  // Whether an estimated (dead-reckoning) NMEA fix shows "OLD" rather than
  // "DR": it does while the Statistic window rejects such fixes.
  void setEstimatedShownStale(bool stale) { estimatedStale_ = stale; }
  // The date DateLabel shows.
  QString dateText() const;

 signals:
  // "OLD" was shown: the solution is not valid.
  void staleShown();

 private:
  void showDop(AutoLabel* label, const Dop& dop);
  void showStatus(FixStatus status);
  void showStatus(const char* text, const QColor& color);

  bool estimatedStale_ = false;

  AutoLabel* latLabel_;
  AutoLabel* lonLabel_;
  AutoLabel* altLabel_;
  AutoLabel* rms2DLabel_;
  AutoLabel* hdopLabel_;
  AutoLabel* vdopLabel_;
  AutoLabel* speedLabel_;
  AutoLabel* courseLabel_;
  AutoLabel* diffAgeLabel_;
  AutoLabel* utcLabel_;
  AutoLabel* dateLabel_;
  AutoLabel* statusLabel_;
};

}  // namespace veltrano
