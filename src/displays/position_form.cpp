#include "displays/position_form.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "decoding/nmea_field_table.h"
#include "displays/auto_label.h"
#include "util/formatters.h"
#include "util/nmea_numbers.h"

namespace veltrano {

namespace {

const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 159, 0);
const QColor kOrange(255, 127, 0);

constexpr const char* kNoDate = "---.---.---";

// Room for any double printed in fixed notation by the formats of this window.
constexpr int kTextSize = 400;

void setText(AutoLabel* label, const char* text) { label->setCaption(QString::fromLatin1(text)); }

void setText(AutoLabel* label, const std::string& text) {
  label->setCaption(QString::fromLatin1(text.data(), qsizetype(text.size())));
}

// The limit is compared in the value's own precision, so that a single 99.9
// is not above a limit of 99.9.
template <typename Real>
void showLimited(AutoLabel* label, Real value, Real limit, const char* format, const char* stars) {
  if (value > limit) {
    setText(label, stars);
    return;
  }
  char text[kTextSize];
  std::snprintf(text, sizeof text, format, double(value));
  setText(label, text);
}

// Error estimates.
template <typename Real>
void showRms(AutoLabel* label, Real value, Real limit) {
  showLimited(label, value, limit, "%.3f", "******");
}

// Dilutions of precision.
template <typename Real>
void showDop(AutoLabel* label, Real value, Real limit) {
  showLimited(label, value, limit, "%.1f", "****");
}

// A BINR2 dilution of precision in tenths.
void showRawDop(AutoLabel* label, uint8_t tenths) {
  constexpr uint8_t kLimit = 100;
  if (tenths > kLimit) {
    setText(label, "****");
    return;
  }
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", tenths * 0.1);
  setText(label, text);
}

void showAltitude(AutoLabel* label, double metres) {
  char text[kTextSize];
  std::snprintf(text, sizeof text, "%+08.2lf", metres);
  setText(label, text);
}

AutoLabel* addLabel(QWidget* parent, const char* name, bool rightAligned, int edge, int top, bool bold,
                    const char* text) {
  AutoLabel* label = rightAligned ? AutoLabel::right(parent, name, edge, top, QString::fromLatin1(text), bold)
                                  : AutoLabel::left(parent, name, edge, top, QString::fromLatin1(text), bold);
  label->setTextColor(kBlack);
  return label;
}

}  // namespace

TPositionForm::TPositionForm() : ToolForm("TPositionForm", 421, 60) {
  addTitleStrip(QStringLiteral("POSITION"), QRect(2, 2, 416, 17));
  const auto caption = [this](const char* name, int x, int y, const char* text) {
    addLabel(this, name, false, x, y, false, text);
  };
  const auto value = [this](const char* name, int x, int y, const char* text) {
    return addLabel(this, name, false, x, y, true, text);
  };
  const auto rightValue = [this](const char* name, int rightEdge, int y, const char* text) {
    return addLabel(this, name, true, rightEdge, y, true, text);
  };
  caption("Label1", 4, 20, "B:");
  latLabel_ = value("LatLabel", 22, 20, "00\xB0" "00.00000N");
  caption("Label2", 4, 32, "L:");
  lonLabel_ = value("LonLabel", 16, 32, "000\xB0" "00.00000E");
  caption("Label3", 4, 44, "H:");
  altLabel_ = value("AltLabel", 20, 44, "+0000.00");
  caption("Label4", 118, 20, "rms2D:");
  rms2DLabel_ = rightValue("rms2DLabel", 200, 20, "0.000");
  caption("Label5", 118, 32, "HDOP:");
  hdopLabel_ = rightValue("HDOPLabel", 186, 32, "0.0");
  caption("Label6", 118, 44, "VDOP:");
  vdopLabel_ = rightValue("VDOPLabel", 186, 44, "0.0");
  caption("Label7", 214, 20, "Speed:");
  speedLabel_ = rightValue("SpeedLabel", 318, 20, "000.0 km/h");
  caption("Label8", 214, 32, "Course:");
  courseLabel_ = rightValue("CourseLabel", 294, 32, "000.0 \xB0");
  caption("Label9", 214, 44, "Diff Age:");
  diffAgeLabel_ = value("DiffAgeLabel", 261, 44, "---");
  caption("Label11", 325, 20, "UTC:");
  utcLabel_ = value("UTCLabel", 350, 20, "00:00:00.00");
  caption("Label12", 325, 32, "Date:");
  dateLabel_ = rightValue("DateLabel", 401, 32, kNoDate);
  caption("Label13", 325, 44, "Status:");
  statusLabel_ = value("StatusLabel", 360, 44, "OLD");
  statusLabel_->setTextColor(kRed);
}

QString TPositionForm::dateText() const { return dateLabel_->text(); }

void TPositionForm::showFix(const Fix& fix) {
  keptFix_ = fix;
  fixKept_ = true;
  keptStatus_ = takeStatus(fix.status);
  // A fix without a dilution leaves its label alone.
  if (fix.hdop.form != Dop::Form::Absent) keptHdop_ = fix.hdop;
  if (fix.vdop.form != Dop::Form::Absent) keptVdop_ = fix.vdop;
  if (fix.hasDiffAge) keptDiffAge_ = {true, false, fix.diffAge};
  if (!drawingHeld()) drawKept();
}

void TPositionForm::drawKept() {
  if (fixKept_) showFixLabels(keptFix_);
  fixKept_ = false;
  showDop(hdopLabel_, keptHdop_);
  showDop(vdopLabel_, keptVdop_);
  keptHdop_ = keptVdop_ = Dop{};
  if (keptDiffAge_.kept) showDiffAgeLabel(keptDiffAge_);
  keptDiffAge_ = {};
}

void TPositionForm::showFixLabels(const Fix& fix) {
  setText(utcLabel_, fix.utcText);
  setText(latLabel_, formatLatitude(fix.latitude));
  setText(lonLabel_, formatLongitude(fix.longitude));
  if (fix.hasHeight)
    showAltitude(altLabel_, fix.height);
  else
    setText(altLabel_, "+0000.00");
  setText(dateLabel_, fix.dateText);
  char text[kTextSize];
  std::snprintf(text, sizeof text, "%05.1f km/h", fix.speedKmh);
  setText(speedLabel_, text);
  std::snprintf(text, sizeof text, "%05.1f \xB0", fix.course);
  setText(courseLabel_, text);
  if (fix.rms.single)
    showRms(rms2DLabel_, float(fix.rms.value), 999.9f);
  else
    showRms(rms2DLabel_, fix.rms.value, 999.9);
  statusLabel_->setTextColor(keptStatus_.color);
  setText(statusLabel_, keptStatus_.text);
}

void TPositionForm::showDop(AutoLabel* label, const Dop& dop) {
  switch (dop.form) {
    case Dop::Form::Absent:
      return;
    case Dop::Form::Single:
      return veltrano::showDop(label, float(dop.value), 99.9f);
    case Dop::Form::Tenths:
      return showRawDop(label, uint8_t(dop.value));
    case Dop::Form::Field:
      return veltrano::showDop(label, dop.value, 99.9);
    case Dop::Form::GsaField:
      return veltrano::showDop(label, dop.value, 999.0);
  }
}

void TPositionForm::showBssDiffAge(const NmeaFieldTable& bss) {
  const std::string_view age = bss.text(5);
  if (age.empty()) {
    keptDiffAge_ = {true, true, 0};
    if (!drawingHeld()) drawKept();
    return;
  }
  showDiffAge(toSingle(leadingReal(age)));
}

void TPositionForm::showDiffAge(float age) {
  keptDiffAge_ = {true, false, age};
  if (!drawingHeld()) drawKept();
}

void TPositionForm::showDiffAgeLabel(const DiffAgeShown& shown) {
  if (shown.fromBss) {
    diffAgeLabel_->setTextColor(kBlack);
    setText(diffAgeLabel_, "---");
    return;
  }
  const float age = shown.age;
  // A NaN fails both comparisons and comes out red.
  diffAgeLabel_->setTextColor(age < 10 ? kGreen : age < 30 ? kOrange : kRed);
  if (age > 999) {
    setText(diffAgeLabel_, "***");
    return;
  }
  char text[kTextSize];
  std::snprintf(text, sizeof text, "%03.0f", double(age));
  setText(diffAgeLabel_, text);
}

TPositionForm::StatusShown TPositionForm::takeStatus(FixStatus status) {
  switch (status) {
    case FixStatus::Stale:
      emit staleShown();
      return {"OLD", kRed};
    case FixStatus::Corrected:
      return {"CORR", kBlack};
    case FixStatus::TwoD:
      return {"2D", kBlack};
    case FixStatus::ThreeD:
      return {"3D", kBlack};
    case FixStatus::TwoDDiff:
      return {"2D diff", kBlack};
    case FixStatus::ThreeDDiff:
      return {"3D diff", kBlack};
    case FixStatus::RtkInt:
      return {"RTK Int", kGreen};
    case FixStatus::RtkFloat:
      return {"RTK Float", kOrange};
    case FixStatus::Estimated:
      return {estimatedStale_ ? "OLD" : "DR", kRed};
    case FixStatus::Undefined:
      return {"Undef", kRed};
  }
  return {"Undef", kRed};
}

}  // namespace veltrano
