#pragma once
// The Position window: the latest navigation solution of the receiver as one
// block of labels, written by one update operation per protocol.
#include <QColor>
#include <cstdint>

#include "displays/tool_form.h"

namespace veltrano {

class AutoLabel;

class TPositionForm : public ToolForm {
  Q_OBJECT
 public:
  explicit TPositionForm(AppContext& app);

  // Every label but DiffAgeLabel from the BINR navigation solution and DOP.
  void showBinrPosition();
  // Every label but DiffAgeLabel from the BINR2 navigation solution.
  void showBinr2Position();
  // Every label from the stored NMEA sentences; DiffAgeLabel only through a
  // GGA age field.
  void showNmeaPosition();
  // DiffAgeLabel from the stored BSS sentence.
  void showBssDiffAge();
  // DiffAgeLabel from an age of corrections in seconds.
  void showDiffAge(float age);

 private:
  void showSpeedAndCourse(float north, float east);
  // Fix status from a status byte; rtkStep adds the RTK texts of BINR.
  void showStatusByte(uint8_t status, bool rtkStep);
  // Fix status from an NMEA status code and the GSA fix type.
  void showStatusCode(int32_t code, int32_t fixType);
  // "OLD" in red with the alert tone when sound is on.
  void showStale();
  void showStatus(const char* text, const QColor& color);

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
