#pragma once
// The Position window: the latest navigation solution of the receiver as one
// block of labels, written by one update operation per protocol.
#include <QColor>
#include <cstdint>

#include "decoding/fix.h"
#include "displays/held_drawing.h"
#include "displays/tool_form.h"

namespace veltrano {

class AutoLabel;
struct NmeaFieldTable;

class TPositionForm : public ToolForm, public HeldDrawing {
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

 protected:
  void drawKept() override;

 private:
  // What a status shows; "OLD" emits staleShown as it is taken.
  struct StatusShown {
    const char* text;
    QColor color;
  };
  // The age of corrections DiffAgeLabel shows, as the last update that wrote it left it.
  struct DiffAgeShown {
    bool kept = false;
    bool fromBss = false;  // a BSS sentence without an age: "---" in black
    float age = 0;
  };

  StatusShown takeStatus(FixStatus status);
  void showDop(AutoLabel* label, const Dop& dop);
  void showFixLabels(const Fix& fix);
  void showDiffAgeLabel(const DiffAgeShown& shown);

  bool estimatedStale_ = false;
  // Kept for the next drawing: the latest fix with its status, and the labels
  // that a fix may leave alone as the last update that wrote them left them.
  bool fixKept_ = false;
  Fix keptFix_;
  StatusShown keptStatus_{"OLD", QColor(255, 0, 0)};
  Dop keptHdop_, keptVdop_;
  DiffAgeShown keptDiffAge_;

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
