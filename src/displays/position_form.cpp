#include "displays/position_form.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>

#include "decoding/binr2_state.h"
#include "displays/auto_label.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "util/formatters.h"
#include "util/nmea_numbers.h"

namespace veltrano {

namespace {

const QColor kBlack(0, 0, 0);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 159, 0);
const QColor kOrange(255, 127, 0);

constexpr const char* kNoDate = "---.---.---";
constexpr int kAlertHz = 500;
constexpr int kAlertMs = 50;

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

// Single precision as the hardware rounds it: beyond the range gives infinity.
float toSingle(double value) {
  if (value > FLT_MAX) return HUGE_VALF;
  if (value < -FLT_MAX) return -HUGE_VALF;
  return float(value);
}

// Status code of a GNS mode indicator.
int32_t gnsModeCode(std::string_view mode) {
  switch (mode.empty() ? '\0' : mode[0]) {
    case 'A': return 1;
    case 'D': return 2;
    case 'R': return 4;
    case 'F': return 5;
    case 'E': return 6;
    default: return 0;
  }
}

// Two-character pieces of an NMEA text joined by a separator, cut by the
// substring rule: "hh:mm:ss.ss" of a time field, "dd.mm.yy" of a date field.
void showPieces(AutoLabel* label, std::string_view field, char separator, int lastCount) {
  const std::string_view a = fieldPiece(field, 1, 2);
  const std::string_view b = fieldPiece(field, 3, 2);
  const std::string_view c = fieldPiece(field, 5, lastCount);
  char text[32];
  std::snprintf(text, sizeof text, "%.*s%c%.*s%c%.*s", int(a.size()), a.data(), separator, int(b.size()), b.data(),
                separator, int(c.size()), c.data());
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

TPositionForm::TPositionForm(AppContext& app) : ToolForm(app, "TPositionForm", 421, 60) {
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

void TPositionForm::showBinrPosition() {
  const BinrNavSolution& nav = app_.receiver->binr.navSolution;
  const BinrDop& dop = app_.receiver->binr.dop;
  setText(latLabel_, formatLatitude(nav.latitude));
  setText(lonLabel_, formatLongitude(nav.longitude));
  showAltitude(altLabel_, nav.height);
  showRms(rms2DLabel_, nav.rmsError, 999.9f);
  showSpeedAndCourse(toSingle(nav.velocityNorth), toSingle(nav.velocityEast));
  showDop(hdopLabel_, dop.hdop, 99.9f);
  showDop(vdopLabel_, dop.vdop, 99.9f);
  const double seconds = nav.timeOfWeek * 0.001;
  setText(utcLabel_, formatTimeOfDay(seconds));
  if (nav.week >= 0)
    setText(dateLabel_, formatWeekDate(truncToInt(seconds + 0.5), nav.week));
  else
    setText(dateLabel_, kNoDate);
  showStatusByte(nav.solutionStatus, true);
}

void TPositionForm::showBinr2Position() {
  const Binr2NavSolution& nav = app_.receiver->binr2.navSolution;
  constexpr double kUnitToRadians = 1e-7 * kPi / 180;
  setText(latLabel_, formatLatitude(nav.latitude * kUnitToRadians));
  setText(lonLabel_, formatLongitude(nav.longitude * kUnitToRadians));
  showAltitude(altLabel_, (double(nav.ellipsoidHeight) - double(nav.geoidSeparation)) * 0.01);
  const double error1 = nav.errorComponent1 * 0.1;
  const double error2 = nav.errorComponent2 * 0.1;
  showRms(rms2DLabel_, float(std::sqrt(error1 * error1 + error2 * error2)), 999.9f);
  showSpeedAndCourse(float(nav.velocityNorth * 0.01), float(nav.velocityEast * 0.01));
  showRawDop(hdopLabel_, nav.hdop);
  showRawDop(vdopLabel_, nav.vdop);
  const CorrectedTime time = correctedTime(app_.receiver->binr2);
  // This window reads the week as a signed 16-bit number, so that 0xFFFF is
  // week -1 and shows no date; the leap-second step may have taken a week off.
  const int32_t weekStep = int32_t(nav.week) - time.week;
  const int32_t week = int32_t(int16_t(nav.week)) - weekStep;
  setText(utcLabel_, formatTimeOfDay(time.seconds));
  if (week >= 0)
    setText(dateLabel_, formatWeekDate(truncToInt(time.seconds), week));
  else
    setText(dateLabel_, kNoDate);
  showStatusByte(nav.statusFlags1, false);
}

void TPositionForm::showNmeaPosition() {
  const NmeaAssembler& nmea = app_.receiver->nmea;
  const int32_t source = nmea.positionSource;
  constexpr int32_t kAuto = 0;
  NmeaKind kind = NmeaKind::RMC;
  if ((source == kAuto && nmea.gnsCount > 0) || source == int32_t(NmeaKind::GNS))
    kind = NmeaKind::GNS;
  else if ((source == kAuto && nmea.ggaCount > 0) || source == int32_t(NmeaKind::GGA))
    kind = NmeaKind::GGA;
  const NmeaFieldTable& sentence = nmea.stored(kind);
  const NmeaFieldTable& rmc = nmea.stored(NmeaKind::RMC);
  const NmeaFieldTable& gsa = nmea.stored(NmeaKind::GSA);
  const int first = kind == NmeaKind::RMC ? 3 : 2;  // latitude field

  showPieces(utcLabel_, sentence.text(1), ':', 5);
  setText(latLabel_, formatLatitude(nmeaCoordinateToRadians(sentence.text(first), sentence.text(first + 1), 2)));
  setText(lonLabel_, formatLongitude(nmeaCoordinateToRadians(sentence.text(first + 2), sentence.text(first + 3), 3)));

  int32_t statusCode = 0;
  if (kind == NmeaKind::RMC) {
    setText(altLabel_, "+0000.00");
    const std::string_view status = sentence.text(2);
    statusCode = (!status.empty() && status[0] == 'V') ? 0 : 1;
  } else {
    showAltitude(altLabel_, leadingReal(sentence.text(9)));
    showDop(hdopLabel_, leadingReal(sentence.text(8)), 99.9);
    if (kind == NmeaKind::GNS) {
      statusCode = gnsModeCode(sentence.text(6));
    } else {
      statusCode = leadingInt(sentence.text(6));
      const std::string_view age = sentence.text(13);
      if (!age.empty()) showDiffAge(toSingle(leadingReal(age)));
    }
  }

  const std::string_view date = rmc.text(9);
  if (date.empty())
    setText(dateLabel_, kNoDate);
  else
    showPieces(dateLabel_, date, '.', 2);

  char text[kTextSize];
  std::snprintf(text, sizeof text, "%05.1f km/h", leadingReal(rmc.text(7)) * 1.852);
  setText(speedLabel_, text);
  std::snprintf(text, sizeof text, "%05.1f \xB0", leadingReal(rmc.text(8)));
  setText(courseLabel_, text);

  // The last three fields of a GSA sentence are PDOP, HDOP and VDOP; a field
  // that the stored sentence does not have leaves its label alone.
  const int gsaCount = gsa.fieldCount;
  if (gsaCount > 0) {
    if (nmea.ggaCount == 0 && gsaCount - 2 >= 1) showDop(hdopLabel_, leadingReal(gsa.text(gsaCount - 2)), 999.0);
    if (gsaCount - 1 >= 1) showDop(vdopLabel_, leadingReal(gsa.text(gsaCount - 1)), 999.0);
  }

  showRms(rms2DLabel_, leadingReal(nmea.stored(NmeaKind::RZD).text(2)), 999.9);
  showStatusCode(statusCode, leadingInt(gsa.text(2)));
}

void TPositionForm::showBssDiffAge() {
  const std::string_view age = app_.receiver->nmea.stored(NmeaKind::BSS).text(5);
  if (age.empty()) {
    diffAgeLabel_->setTextColor(kBlack);
    setText(diffAgeLabel_, "---");
    return;
  }
  showDiffAge(toSingle(leadingReal(age)));
}

void TPositionForm::showDiffAge(float age) {
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

void TPositionForm::showSpeedAndCourse(float north, float east) {
  const float speed = std::sqrt(north * north + east * east);
  float course = 0;
  if (north != 0 || east != 0) {
    course = float(std::atan2(east, north) * 180 / kPi);
    if (course < 0) course += 360;
  }
  char text[kTextSize];
  std::snprintf(text, sizeof text, "%05.1f km/h", double(speed) * 3.6);
  setText(speedLabel_, text);
  std::snprintf(text, sizeof text, "%05.1f \xB0", double(course));
  setText(courseLabel_, text);
}

void TPositionForm::showStatusByte(uint8_t status, bool rtkStep) {
  if (!(status & 0x01)) {
    showStale();
    return;
  }
  if (status & 0x20) {
    showStatus("CORR", kBlack);
    return;
  }
  const bool twoD = status & 0x02;
  if (!(status & 0x08))
    showStatus(twoD ? "2D" : "3D", kBlack);
  else if (rtkStep && (status & 0x80))
    showStatus("RTK Int", kGreen);
  else if (rtkStep && (status & 0x40))
    showStatus("RTK Float", kOrange);
  else
    showStatus(twoD ? "2D diff" : "3D diff", kBlack);
}

void TPositionForm::showStatusCode(int32_t code, int32_t fixType) {
  switch (code) {
    case 0: showStale(); break;
    case 1: showStatus(fixType == 2 ? "2D" : "3D", kBlack); break;
    case 2: showStatus(fixType == 2 ? "2D diff" : "3D diff", kBlack); break;
    case 4: showStatus("RTK Int", kGreen); break;
    case 5: showStatus("RTK Float", kOrange); break;
    case 6: showStatus(app_.hooks.statisticObsChecked() ? "OLD" : "DR", kRed); break;
    default: showStatus("Undef", kRed); break;
  }
}

void TPositionForm::showStale() {
  showStatus("OLD", kRed);
  if (app_.mainForm->transport.soundEnabled) {
    app_.hooks.playTone(kAlertHz, kAlertMs);
    app_.hooks.beep(kAlertHz, kAlertMs);
  }
}

void TPositionForm::showStatus(const char* text, const QColor& color) {
  statusLabel_->setTextColor(color);
  setText(statusLabel_, text);
}

}  // namespace veltrano
