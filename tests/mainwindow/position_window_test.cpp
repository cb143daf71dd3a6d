#include "displays/position_form.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QImage>
#include <QPixmap>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "decoding/binr2_state.h"
#include "decoding/fix_builder.h"
#include "displays/auto_label.h"
#include "displays/statistic_form.h"
#include "held_updates.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "util/formatters.h"

namespace veltrano {
namespace {

constexpr const char* kBlack = "#000000";
constexpr const char* kRed = "#ff0000";
constexpr const char* kGreen = "#009f00";
constexpr const char* kOrange = "#ff7f00";
constexpr double kDegree = kPi / 180;

// What one update reports: a lost solution, which sounds the 500 Hz, 50 ms
// alert first when sound is on. Sound itself does not change the report.
std::vector<std::string> alertCalls(bool stale, bool sound) {
  if (!stale) return {};
  if (!sound) return {"stale"};
  return {"sound 500 Hz 50 ms", "stale"};
}

class PositionFormTest : public ::testing::Test {
 protected:
  PositionFormTest() {
    app.alertSound = [this](int frequency, int durationMs) {
      calls.push_back("sound " + std::to_string(frequency) + " Hz " + std::to_string(durationMs) + " ms");
    };
    QObject::connect(&form(), &TPositionForm::staleShown, [this] { calls.push_back("stale"); });
    setObs(false);
  }

  TPositionForm& form() { return *app.positionForm; }

  // The Statistic window's ObsCheckBox, which decides whether an estimated fix shows "OLD".
  void setObs(bool ticked) {
    auto* box = app.statisticForm->findChild<QCheckBox*>(QStringLiteral("ObsCheckBox"));
    ASSERT_NE(box, nullptr);
    box->setChecked(ticked);
  }

  // The fix of each protocol built from the receiver state, shown by the window.
  void showBinr() {
    Fix fix;
    buildBinrFix(app.receiver->binr, fix);
    form().showFix(fix);
  }
  void showBinr2() {
    Fix fix;
    buildBinr2Fix(app.receiver->binr2, fix);
    form().showFix(fix);
  }
  void showNmea() {
    Fix fix;
    buildNmeaFix(app.receiver->nmea, fix);
    form().showFix(fix);
  }
  void showBss() { form().showBssDiffAge(app.receiver->nmea.stored(NmeaKind::BSS)); }

  AutoLabel* label(const char* name) {
    auto* found = form().findChild<AutoLabel*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  // Latin-1 text, so that the degree sign compares as the byte 0xB0.
  std::string text(const char* name) { return label(name)->text().toLatin1().toStdString(); }
  std::string color(const char* name) { return label(name)->textColor().name().toStdString(); }

  void setSound(bool on) { app.transport.soundEnabled = on; }

  // One sentence with its checksum, fed character by character.
  void feed(const std::string& body) {
    unsigned sum = 0;
    for (char c : body) sum ^= uint8_t(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    const std::string line = "$" + body + tail;
    NmeaKind kind = NmeaKind::None;
    for (char c : line) kind = app.receiver->nmea.pushNmeaChar(uint8_t(c));
    ASSERT_GT(int(kind), int(NmeaKind::Other)) << body;
  }

  AppContext app;
  std::vector<std::string> calls;
};

// ---- BINR2 payloads ---------------------------------------------------------

struct Binr2Fix {
  uint32_t timeOfWeek = 0;
  uint16_t week = 0;
  uint8_t timeScale = 0;
  int32_t latitude = 0, longitude = 0, ellipsoidHeight = 0;
  int16_t geoidSeparation = 0;
  uint16_t error1 = 0, error2 = 0;
  int32_t velocityNorth = 0, velocityEast = 0;
  uint8_t hdop = 0, vdop = 0, flags = 0x01;
};

template <typename T>
void putLittle(uint8_t* p, T value) {
  for (size_t i = 0; i < sizeof(T); ++i) p[i] = uint8_t(uint64_t(value) >> (8 * i));
}

void storeBinr2(Binr2State& state, const Binr2Fix& f) {
  uint8_t body[59] = {0x90};
  uint8_t* p = body + 1;
  putLittle(p + 0, f.timeOfWeek);
  putLittle(p + 8, f.week);
  p[10] = f.timeScale;
  putLittle(p + 15, f.latitude);
  putLittle(p + 19, f.longitude);
  putLittle(p + 23, f.ellipsoidHeight);
  putLittle(p + 27, f.geoidSeparation);
  putLittle(p + 29, f.error1);
  putLittle(p + 31, f.error2);
  putLittle(p + 35, f.velocityNorth);
  putLittle(p + 39, f.velocityEast);
  p[47] = f.hdop;
  p[48] = f.vdop;
  p[50] = f.flags;
  ASSERT_EQ(dispatchBinr2Frame(state, body, sizeof body), 0x90);
}

void storeLeapSeconds(Binr2State& state, bool valid, uint8_t seconds) {
  uint8_t body[28] = {0xB2};
  body[1] = valid ? 0x40 : 0x00;
  body[27] = seconds;
  ASSERT_EQ(dispatchBinr2Frame(state, body, sizeof body), 0xB2);
}

// ---- Layout -------------------------------------------------------------------

TEST_F(PositionFormTest, LabelsStartWithTheirDesignTextsAndPlaces) {
  struct Case {
    const char* name;
    int edge;  // left edge, or right edge for right-aligned labels
    int top;
    bool rightAligned, bold;
    const char* text;
  } cases[] = {
      {"Label1", 4, 20, false, false, "B:"},
      {"LatLabel", 22, 20, false, true, "00\xB0" "00.00000N"},
      {"Label2", 4, 32, false, false, "L:"},
      {"LonLabel", 16, 32, false, true, "000\xB0" "00.00000E"},
      {"Label3", 4, 44, false, false, "H:"},
      {"AltLabel", 20, 44, false, true, "+0000.00"},
      {"Label4", 118, 20, false, false, "rms2D:"},
      {"rms2DLabel", 200, 20, true, true, "0.000"},
      {"Label5", 118, 32, false, false, "HDOP:"},
      {"HDOPLabel", 186, 32, true, true, "0.0"},
      {"Label6", 118, 44, false, false, "VDOP:"},
      {"VDOPLabel", 186, 44, true, true, "0.0"},
      {"Label7", 214, 20, false, false, "Speed:"},
      {"SpeedLabel", 318, 20, true, true, "000.0 km/h"},
      {"Label8", 214, 32, false, false, "Course:"},
      {"CourseLabel", 294, 32, true, true, "000.0 \xB0"},
      {"Label9", 214, 44, false, false, "Diff Age:"},
      {"DiffAgeLabel", 261, 44, false, true, "---"},
      {"Label11", 325, 20, false, false, "UTC:"},
      {"UTCLabel", 350, 20, false, true, "00:00:00.00"},
      {"Label12", 325, 32, false, false, "Date:"},
      {"DateLabel", 401, 32, true, true, "---.---.---"},
      {"Label13", 325, 44, false, false, "Status:"},
      {"StatusLabel", 360, 44, false, true, "OLD"},
  };
  EXPECT_EQ(form().findChildren<AutoLabel*>().size(), qsizetype(std::size(cases)));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AutoLabel* l = label(c.name);
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(text(c.name), c.text);
    EXPECT_EQ(c.rightAligned ? l->x() + l->width() : l->x(), c.edge);
    EXPECT_EQ(l->y(), c.top);
    EXPECT_EQ(l->font().bold(), c.bold);
    EXPECT_EQ(color(c.name), std::string(c.name) == "StatusLabel" ? kRed : kBlack);
  }
}

TEST_F(PositionFormTest, RightAlignedLabelsKeepTheirRightEdgeAsTheyGrow) {
  app.receiver->binr.navSolution.rmsError = 1000;
  app.receiver->binr.navSolution.week = 100;
  app.receiver->binr.navSolution.velocityNorth = 30;
  showBinr();
  for (const auto& [name, edge] : {std::pair{"rms2DLabel", 200}, {"SpeedLabel", 318}, {"DateLabel", 401}}) {
    SCOPED_TRACE(name);
    AutoLabel* l = label(name);
    EXPECT_EQ(l->x() + l->width(), edge);
    EXPECT_EQ(l->width(), l->sizeHint().width());
  }
  EXPECT_EQ(text("rms2DLabel"), "******");
  EXPECT_EQ(text("SpeedLabel"), "108.0 km/h");
}

TEST_F(PositionFormTest, GrabOfABinrFix) {
  BinrNavSolution& nav = app.receiver->binr.navSolution;
  nav.latitude = 55.75 * kDegree;
  nav.longitude = 37.625 * kDegree;
  nav.height = 151.25;
  nav.rmsError = 1.5f;
  nav.timeOfWeek = 45296500;
  nav.week = 1000;
  nav.velocityNorth = 1;
  nav.velocityEast = 1;
  nav.solutionStatus = 0x89;
  app.receiver->binr.dop = {5, 4, 1.2f, 1.8f};
  showBinr();
  form().showDiffAge(4);
  const QPixmap picture = form().grab();
  EXPECT_EQ(picture.size(), QSize(421, 60));
  if (const char* dir = std::getenv("VELTRANO_GRAB_DIR")) {
    EXPECT_TRUE(picture.save(QString::fromLocal8Bit(dir) + QStringLiteral("/position.png")));
  }
}

// ---- Fix status -------------------------------------------------------------------

struct StatusCase {
  uint8_t status;
  bool sound;
  const char* text;
  const char* color;
  bool stale;
};

TEST_F(PositionFormTest, BinrStatusByte) {
  const StatusCase cases[] = {
      {0x00, false, "OLD", kRed, true}, {0x01, false, "3D", kBlack, false},
      {0x00, true, "OLD", kRed, true},   {0x03, true, "2D", kBlack, false},
      {0x09, false, "3D diff", kBlack, false}, {0x0B, false, "2D diff", kBlack, false},
      {0x89, false, "RTK Int", kGreen, false}, {0x49, false, "RTK Float", kOrange, false},
      {0xC9, false, "RTK Int", kGreen, false}, {0x21, false, "CORR", kBlack, false},
      {0x00, false, "OLD", kRed, true}, {0x29, false, "CORR", kBlack, false},
      {0x81, false, "3D", kBlack, false},  // RTK bits count only with the differential bit
  };
  for (const StatusCase& c : cases) {
    SCOPED_TRACE(c.status);
    setSound(c.sound);
    calls.clear();
    app.receiver->binr.navSolution.solutionStatus = c.status;
    showBinr();
    EXPECT_EQ(text("StatusLabel"), c.text);
    EXPECT_EQ(color("StatusLabel"), c.color);
    EXPECT_EQ(calls, alertCalls(c.stale, c.sound));
  }
}

TEST_F(PositionFormTest, Binr2StatusByteHasNoRtkTexts) {
  const StatusCase cases[] = {
      {0x00, true, "OLD", kRed, true},        {0x89, false, "3D diff", kBlack, false},
      {0x49, false, "3D diff", kBlack, false}, {0x0B, false, "2D diff", kBlack, false},
      {0x03, false, "2D", kBlack, false},      {0x29, false, "CORR", kBlack, false},
      {0x88, true, "OLD", kRed, true},
  };
  for (const StatusCase& c : cases) {
    SCOPED_TRACE(c.status);
    setSound(c.sound);
    calls.clear();
    Binr2Fix fix;
    fix.flags = c.status;
    storeBinr2(app.receiver->binr2, fix);
    showBinr2();
    EXPECT_EQ(text("StatusLabel"), c.text);
    EXPECT_EQ(color("StatusLabel"), c.color);
    EXPECT_EQ(calls, alertCalls(c.stale, c.sound));
  }
}

// The window reports each "OLD" of a lost solution, sound or not; the estimated
// fix shown as "OLD" is no lost solution.
TEST(PositionFormAlone, StaleShownAndEstimatedFixes) {
  TPositionForm form;
  int stale = 0;
  QObject::connect(&form, &TPositionForm::staleShown, [&stale] { ++stale; });
  const auto status = [&form] {
    return form.findChild<AutoLabel*>(QStringLiteral("StatusLabel"))->text().toStdString();
  };
  struct Case {
    FixStatus status;
    bool estimatedStale;
    const char* text;
    int reports;
  } cases[] = {
      {FixStatus::Stale, false, "OLD", 1},     {FixStatus::ThreeD, false, "3D", 0},
      {FixStatus::Estimated, false, "DR", 0},  {FixStatus::Estimated, true, "OLD", 0},
      {FixStatus::Stale, true, "OLD", 1},      {FixStatus::Undefined, false, "Undef", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    stale = 0;
    form.setEstimatedShownStale(c.estimatedStale);
    Fix fix;
    fix.status = c.status;
    form.showFix(fix);
    EXPECT_EQ(status(), c.text);
    EXPECT_EQ(stale, c.reports);
  }
}

// ---- BINR values ------------------------------------------------------------------

TEST_F(PositionFormTest, BinrCoordinatesHeightAndLimits) {
  BinrNavSolution& nav = app.receiver->binr.navSolution;
  nav.latitude = -55.5 * kDegree;
  nav.longitude = -37.25 * kDegree;
  struct Case {
    double height;
    float rms, hdop, vdop;
    const char *alt, *rmsText, *hdopText, *vdopText;
  } cases[] = {
      {123.45, 999.9f, 99.9f, 0.05f, "+0123.45", "999.900", "99.9", "0.1"},
      {-12.3, 1000.0f, 100.0f, 99.95f, "-0012.30", "******", "****", "****"},
      {0, 0.25f, 0, 1.26f, "+0000.00", "0.250", "0.0", "1.3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.alt);
    nav.height = c.height;
    nav.rmsError = c.rms;
    app.receiver->binr.dop.hdop = c.hdop;
    app.receiver->binr.dop.vdop = c.vdop;
    showBinr();
    EXPECT_EQ(text("LatLabel"), "55\xB0" "30.00000S");
    EXPECT_EQ(text("LonLabel"), "037\xB0" "15.00000W");
    EXPECT_EQ(text("AltLabel"), c.alt);
    EXPECT_EQ(text("rms2DLabel"), c.rmsText);
    EXPECT_EQ(text("HDOPLabel"), c.hdopText);
    EXPECT_EQ(text("VDOPLabel"), c.vdopText);
  }
}

TEST_F(PositionFormTest, SpeedAndCourseFromVelocities) {
  struct Case {
    double north, east;
    const char *speed, *course;
  } cases[] = {
      {0, 0, "000.0 km/h", "000.0 \xB0"},
      {0, -1, "003.6 km/h", "270.0 \xB0"},
      {-1, 0, "003.6 km/h", "180.0 \xB0"},
      {1, 1, "005.1 km/h", "045.0 \xB0"},
      {-0.0, 0.0, "000.0 km/h", "000.0 \xB0"},
      {30, 40, "180.0 km/h", "053.1 \xB0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.course);
    app.receiver->binr.navSolution.velocityNorth = c.north;
    app.receiver->binr.navSolution.velocityEast = c.east;
    showBinr();
    EXPECT_EQ(text("SpeedLabel"), c.speed);
    EXPECT_EQ(text("CourseLabel"), c.course);
    // The same velocities in centimetres per second through BINR2.
    Binr2Fix fix;
    fix.velocityNorth = int32_t(c.north * 100);
    fix.velocityEast = int32_t(c.east * 100);
    storeBinr2(app.receiver->binr2, fix);
    showBinr2();
    EXPECT_EQ(text("SpeedLabel"), c.speed);
    EXPECT_EQ(text("CourseLabel"), c.course);
  }
}

// Week 0 counted from the rollover began on Sunday 22 August 1999.
TEST_F(PositionFormTest, BinrTimeAndRoundedDate) {
  BinrNavSolution& nav = app.receiver->binr.navSolution;
  struct Case {
    double timeOfWeek;
    int16_t week;
    const char *utc, *date;
  } cases[] = {
      {86399600, 0, "23:59:59.60", "23.08.99"},
      {86399400, 0, "23:59:59.40", "22.08.99"},
      {45296500, 0, "12:34:56.50", "22.08.99"},
      {45296500, -1, "12:34:56.50", "---.---.---"},
      {0, 1, "00:00:00.00", "29.08.99"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utc);
    nav.timeOfWeek = c.timeOfWeek;
    nav.week = c.week;
    showBinr();
    EXPECT_EQ(text("UTCLabel"), c.utc);
    EXPECT_EQ(text("DateLabel"), c.date);
  }
  EXPECT_EQ(text("DiffAgeLabel"), "---");
}

// ---- BINR2 values -----------------------------------------------------------------

TEST_F(PositionFormTest, Binr2ScaledFields) {
  struct Case {
    int32_t latitude, longitude, height;
    int16_t geoid;
    uint16_t error1, error2;
    uint8_t hdop, vdop;
    const char *lat, *lon, *alt, *rms, *hdopText, *vdopText;
  } cases[] = {
      {556789012, -376000000, 15000, 1500, 30, 40, 100, 101,
       "55\xB0" "40.73407N", "037\xB0" "36.00000W", "+0135.00", "5.000", "10.0", "****"},
      {-100000000, 1800000000, -1000, -250, 9999, 0, 0, 12,
       "10\xB0" " 0.00000S", "180\xB0" " 0.00000E", "-0007.50", "999.900", "0.0", "1.2"},
      {0, 0, 0, 0, 10000, 0, 255, 99, "00\xB0" " 0.00000N", "000\xB0" " 0.00000E", "+0000.00", "******", "****", "9.9"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lat);
    Binr2Fix fix;
    fix.latitude = c.latitude;
    fix.longitude = c.longitude;
    fix.ellipsoidHeight = c.height;
    fix.geoidSeparation = c.geoid;
    fix.error1 = c.error1;
    fix.error2 = c.error2;
    fix.hdop = c.hdop;
    fix.vdop = c.vdop;
    storeBinr2(app.receiver->binr2, fix);
    showBinr2();
    EXPECT_EQ(text("LatLabel"), c.lat);
    EXPECT_EQ(text("LonLabel"), c.lon);
    EXPECT_EQ(text("AltLabel"), c.alt);
    EXPECT_EQ(text("rms2DLabel"), c.rms);
    EXPECT_EQ(text("HDOPLabel"), c.hdopText);
    EXPECT_EQ(text("VDOPLabel"), c.vdopText);
  }
}

TEST_F(PositionFormTest, Binr2LeapSecondsAndTruncatedDate) {
  struct Case {
    uint32_t timeOfWeek;
    uint16_t week;
    uint8_t timeScale;
    bool leapValid;
    const char *utc, *date;
  } cases[] = {
      {10000, 0, 0, true, "23:59:52.00", "---.---.---"},
      {10000, 0, 1, true, "00:00:10.00", "22.08.99"},
      {10000, 0, 4, true, "00:00:10.00", "22.08.99"},
      {10000, 0, 0, false, "00:00:10.00", "22.08.99"},
      {10000, 1, 0, true, "23:59:52.00", "28.08.99"},
      {86399600, 0, 1, true, "23:59:59.60", "22.08.99"},
      {86418000, 0, 0, true, "00:00:00.00", "23.08.99"},  // 86418 - 18 s
      {10000, 0xFFFF, 1, true, "00:00:10.00", "---.---.---"},  // the week is signed: -1
      {10000, 0x8000, 0, true, "23:59:52.00", "---.---.---"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.utc);
    storeLeapSeconds(app.receiver->binr2, c.leapValid, 18);
    Binr2Fix fix;
    fix.timeOfWeek = c.timeOfWeek;
    fix.week = c.week;
    fix.timeScale = c.timeScale;
    storeBinr2(app.receiver->binr2, fix);
    showBinr2();
    EXPECT_EQ(text("UTCLabel"), c.utc);
    EXPECT_EQ(text("DateLabel"), c.date);
  }
}

TEST_F(PositionFormTest, GarbageBinaryValuesPrintWithoutFault) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  for (double v : {nan, inf, -inf, 1e300, -1e300, 4e38}) {
    SCOPED_TRACE(v);
    BinrNavSolution& nav = app.receiver->binr.navSolution;
    nav.latitude = nav.longitude = nav.height = nav.timeOfWeek = v;
    nav.velocityNorth = nav.velocityEast = v;
    nav.rmsError = float(std::isfinite(v) ? 1e30 : v);
    nav.week = 5;
    nav.solutionStatus = 0x01;
    app.receiver->binr.dop.hdop = app.receiver->binr.dop.vdop = nav.rmsError;
    showBinr();
    EXPECT_FALSE(text("LatLabel").empty());
    EXPECT_FALSE(text("AltLabel").empty());
    EXPECT_EQ(text("StatusLabel"), "3D");
  }
  Binr2Fix fix;
  fix.timeOfWeek = 0xFFFFFFFF;
  fix.week = 0xFFFF;
  fix.latitude = fix.longitude = fix.velocityNorth = fix.velocityEast = std::numeric_limits<int32_t>::min();
  fix.ellipsoidHeight = std::numeric_limits<int32_t>::min();
  fix.geoidSeparation = std::numeric_limits<int16_t>::max();
  fix.error1 = fix.error2 = 0xFFFF;
  storeBinr2(app.receiver->binr2, fix);
  showBinr2();
  EXPECT_EQ(text("AltLabel"), "-21475164.15");
  EXPECT_EQ(text("rms2DLabel"), "******");
  EXPECT_EQ(text("DateLabel"), "---.---.---");  // week 0xFFFF is -1
}

// ---- NMEA -------------------------------------------------------------------------

std::string gga(const std::string& time, const std::string& latitude, const std::string& quality,
                const std::string& hdop = "0.9", const std::string& age = "") {
  return "GPGGA," + time + "," + latitude + ",N,01131.000,E," + quality + ",08," + hdop + ",545.4,M,46.9,M," + age +
         ",0000";
}

std::string gns(const std::string& mode, const std::string& latitude = "4807.038") {
  return "GNGNS,091500.50," + latitude + ",S,03730.000,W," + mode + ",12,1.4,-12.5,14.0,,";
}

std::string rmc(const std::string& status, const std::string& date = "230394") {
  return "GPRMC,225446.25," + status + ",4916.45,N,12311.12,W,10.0,45.5," + date + ",003.1,W";
}

TEST_F(PositionFormTest, NmeaGgaFields) {
  feed(gga("123519.00", "4807.038", "1"));
  showNmea();
  EXPECT_EQ(text("UTCLabel"), "12:35:19.00");
  EXPECT_EQ(text("LatLabel"), "48\xB0" " 7.03800N");
  EXPECT_EQ(text("LonLabel"), "011\xB0" "31.00000E");
  EXPECT_EQ(text("AltLabel"), "+0545.40");
  EXPECT_EQ(text("HDOPLabel"), "0.9");
  EXPECT_EQ(text("StatusLabel"), "3D");
  EXPECT_EQ(color("StatusLabel"), kBlack);
  // No RMC, GSA or RZD stored yet.
  EXPECT_EQ(text("DateLabel"), "---.---.---");
  EXPECT_EQ(text("SpeedLabel"), "000.0 km/h");
  EXPECT_EQ(text("CourseLabel"), "000.0 \xB0");
  EXPECT_EQ(text("VDOPLabel"), "0.0");
  EXPECT_EQ(text("rms2DLabel"), "0.000");
  EXPECT_EQ(text("DiffAgeLabel"), "---");
}

TEST_F(PositionFormTest, NmeaTimeIsCutNotReformatted) {
  for (const auto& [time, utc] : {std::pair{"123519.00", "12:35:19.00"},
                                  {"123519", "12:35:19"},
                                  {"123519.000", "12:35:19.00"},
                                  {"1235", "12:35:"},
                                  {"", "::"}}) {
    SCOPED_TRACE(time);
    feed(gga(time, "4807.038", "1"));
    showNmea();
    EXPECT_EQ(text("UTCLabel"), utc);
  }
}

TEST_F(PositionFormTest, NmeaGgaFixQuality) {
  struct Case {
    const char* quality;
    bool obs, sound;
    const char *text, *color;
    bool stale;
  } cases[] = {
      {"0", false, true, "OLD", kRed, true},       {"1", false, true, "3D", kBlack, false},
      {"2", false, false, "3D diff", kBlack, false}, {"4", false, false, "RTK Int", kGreen, false},
      {"5", false, false, "RTK Float", kOrange, false}, {"6", false, true, "DR", kRed, false},
      {"6", true, true, "OLD", kRed, false},       {"3", false, false, "Undef", kRed, false},
      {"1", false, false, "3D", kBlack, false},    {"8", false, false, "Undef", kRed, false},
      {"7", false, false, "Undef", kRed, false},   {"-1", false, false, "Undef", kRed, false},
      {"", false, true, "OLD", kRed, true},        {"0", false, false, "OLD", kRed, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("quality ") + c.quality + (c.obs ? " obs" : ""));
    setObs(c.obs);
    setSound(c.sound);
    calls.clear();
    feed(gga("123519.00", "4807.038", c.quality));
    showNmea();
    EXPECT_EQ(text("StatusLabel"), c.text);
    EXPECT_EQ(color("StatusLabel"), c.color);
    EXPECT_EQ(calls, alertCalls(c.stale, c.sound));
  }
}

TEST_F(PositionFormTest, NmeaFixTypeFromGsa) {
  feed("GPGSA,A,2,01,02,03,,,,,,,,,,2.5,1.3,2.1");
  for (const auto& [quality, status] : {std::pair{"1", "2D"}, {"2", "2D diff"}}) {
    feed(gga("123519.00", "4807.038", quality));
    showNmea();
    EXPECT_EQ(text("StatusLabel"), status);
  }
  feed("GPGSA,A,3,01,02,03,,,,,,,,,,2.5,1.3,2.1");
  showNmea();
  EXPECT_EQ(text("StatusLabel"), "3D diff");
}

TEST_F(PositionFormTest, NmeaGgaAgeOfCorrections) {
  feed(gga("123519.00", "4807.038", "2", "0.9", "5.4"));
  showNmea();
  EXPECT_EQ(text("DiffAgeLabel"), "005");
  EXPECT_EQ(color("DiffAgeLabel"), kGreen);
  feed(gga("123520.00", "4807.038", "2", "0.9", ""));
  showNmea();
  EXPECT_EQ(text("DiffAgeLabel"), "005");
  EXPECT_EQ(color("DiffAgeLabel"), kGreen);
  feed(gga("123521.00", "4807.038", "2", "0.9", "45"));
  showNmea();
  EXPECT_EQ(text("DiffAgeLabel"), "045");
  EXPECT_EQ(color("DiffAgeLabel"), kRed);
}

TEST_F(PositionFormTest, NmeaGnsModeIndicator) {
  struct Case {
    const char* mode;
    const char *text, *color;
    bool stale;
  } cases[] = {
      {"RR", "RTK Int", kGreen, false}, {"NN", "OLD", kRed, true},   {"FA", "RTK Float", kOrange, false},
      {"AA", "3D", kBlack, false},      {"DN", "3D diff", kBlack, false}, {"EA", "DR", kRed, false},
      {"", "OLD", kRed, true},          {"X", "OLD", kRed, true},
  };
  setSound(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    calls.clear();
    feed(gns(c.mode));
    showNmea();
    EXPECT_EQ(text("StatusLabel"), c.text);
    EXPECT_EQ(color("StatusLabel"), c.color);
    EXPECT_EQ(calls, alertCalls(c.stale, true));
  }
  EXPECT_EQ(text("UTCLabel"), "09:15:00.50");
  EXPECT_EQ(text("LatLabel"), "48\xB0" " 7.03800S");
  EXPECT_EQ(text("LonLabel"), "037\xB0" "30.00000W");
  EXPECT_EQ(text("AltLabel"), "-0012.50");
  EXPECT_EQ(text("HDOPLabel"), "1.4");
}

TEST_F(PositionFormTest, NmeaSourceChoice) {
  NmeaAssembler& nmea = app.receiver->nmea;
  feed(gga("100000", "1000.000", "1"));
  showNmea();
  EXPECT_EQ(text("LatLabel"), "10\xB0" " 0.00000N");
  // Auto: once a GNS sentence has been seen it is the source.
  feed(gns("AA", "2000.000"));
  feed(gga("100001", "3000.000", "1"));
  showNmea();
  EXPECT_EQ(text("LatLabel"), "20\xB0" " 0.00000S");
  // Until the counters are reset.
  nmea.resetNmeaCounts();
  feed(gga("100002", "4000.000", "1"));
  showNmea();
  EXPECT_EQ(text("LatLabel"), "40\xB0" " 0.00000N");
  // A chosen source is read whatever the counters say.
  feed(rmc("A"));
  for (const auto& [source, lat] : {std::pair{int32_t(NmeaKind::GNS), "20\xB0" " 0.00000S"},
                                    {int32_t(NmeaKind::GGA), "40\xB0" " 0.00000N"},
                                    {int32_t(NmeaKind::RMC), "49\xB0" "16.45000N"}}) {
    SCOPED_TRACE(source);
    nmea.positionSource = source;
    showNmea();
    EXPECT_EQ(text("LatLabel"), lat);
  }
}

TEST_F(PositionFormTest, NmeaFromRmcOnly) {
  setSound(true);
  feed(rmc("V"));
  showNmea();
  EXPECT_EQ(text("StatusLabel"), "OLD");
  EXPECT_EQ(color("StatusLabel"), kRed);
  EXPECT_EQ(calls, alertCalls(true, true));
  EXPECT_EQ(text("UTCLabel"), "22:54:46.25");
  EXPECT_EQ(text("LatLabel"), "49\xB0" "16.45000N");
  EXPECT_EQ(text("LonLabel"), "123\xB0" "11.12000W");
  EXPECT_EQ(text("AltLabel"), "+0000.00");
  EXPECT_EQ(text("DateLabel"), "23.03.94");
  EXPECT_EQ(text("SpeedLabel"), "018.5 km/h");
  EXPECT_EQ(text("CourseLabel"), "045.5 \xB0");
  calls.clear();
  feed(rmc("A", ""));
  showNmea();
  EXPECT_EQ(text("StatusLabel"), "3D");
  EXPECT_EQ(color("StatusLabel"), kBlack);
  EXPECT_EQ(text("DateLabel"), "---.---.---");
  EXPECT_TRUE(calls.empty());
  feed("GPGSA,A,2,01,02,03,,,,,,,,,,2.5,1.3,2.1");
  feed(rmc("A", "0104"));
  showNmea();
  EXPECT_EQ(text("StatusLabel"), "2D");
  EXPECT_EQ(text("DateLabel"), "01.04.");
}

TEST_F(PositionFormTest, NmeaDopFromGgaOrGsa) {
  NmeaAssembler& nmea = app.receiver->nmea;
  feed("GPGSA,A,3,01,02,03,,,,,,,,,,2.5,150,2.1");
  feed(gga("123519.00", "4807.038", "1", "0.9"));
  showNmea();
  EXPECT_EQ(text("HDOPLabel"), "0.9");
  EXPECT_EQ(text("VDOPLabel"), "2.1");
  // After a counter reset with only RMC and GSA arriving, both come from GSA.
  nmea.resetNmeaCounts();
  feed(rmc("A"));
  showNmea();
  EXPECT_EQ(text("HDOPLabel"), "150.0");
  EXPECT_EQ(text("VDOPLabel"), "2.1");
  struct Case {
    const char *gsa, *hdop, *vdop;
  } cases[] = {
      {"GPGSA,A,3,,,,,,,,,,,,,2.5,999,999.0", "999.0", "999.0"},
      {"GPGSA,A,3,,,,,,,,,,,,,2.5,999.1,1000", "****", "****"},
      {"GPGSA,A,3,,,,,,,,,,,,,2.5,,", "0.0", "0.0"},
      {"GPGSA,7.5", "0.0", "7.5"},  // no HDOP field: HDOP left alone
      {"GPGSA", "0.0", "7.5"},      // no fields at all: both left alone
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.gsa);
    feed(c.gsa);
    showNmea();
    EXPECT_EQ(text("HDOPLabel"), c.hdop);
    EXPECT_EQ(text("VDOPLabel"), c.vdop);
  }
}

TEST_F(PositionFormTest, NmeaGgaHdopLimit) {
  for (const auto& [hdop, shown] : {std::pair{"99.9", "99.9"}, {"99.95", "****"}, {"", "0.0"}, {"12.34", "12.3"}}) {
    SCOPED_TRACE(hdop);
    feed(gga("123519.00", "4807.038", "1", hdop));
    showNmea();
    EXPECT_EQ(text("HDOPLabel"), shown);
  }
}

TEST_F(PositionFormTest, NmeaRmsFromRzd) {
  for (const auto& [rms, shown] : {std::pair{"999.9", "999.900"}, {"1000", "******"}, {"1.25", "1.250"}, {"", "0.000"}}) {
    SCOPED_TRACE(rms);
    feed(std::string("PORZD,A,") + rms);
    showNmea();
    EXPECT_EQ(text("rms2DLabel"), shown);
  }
}

TEST_F(PositionFormTest, NmeaGarbageNumbersPrintWithoutFault) {
  feed("GPGGA,99999999999999999,9999e999,N,1e308,E,99999999999,08,1e308,-1e308,M,46.9,M,1e308,0000");
  feed("GPRMC,225446.25,A,4916.45,N,12311.12,W,1e308,-1e308,230394,003.1,W");
  feed("GPGSA,A,-99999999999,,,,,,,,,,,,,2.5,1e308,-1e308");
  feed("PORZD,A,-1e308");
  showNmea();
  EXPECT_EQ(text("StatusLabel"), "Undef");
  EXPECT_EQ(text("DiffAgeLabel"), "***");
  EXPECT_EQ(text("VDOPLabel").substr(0, 2), "-1");
  EXPECT_NE(text("SpeedLabel").find("inf km/h"), std::string::npos);
  EXPECT_EQ(text("UTCLabel"), "99:99:99999");
}

// ---- Age of corrections ---------------------------------------------------------------

TEST_F(PositionFormTest, DiffAgeColourAndText) {
  struct Case {
    float age;
    const char *text, *color;
  } cases[] = {
      {9.99f, "010", kGreen}, {10, "010", kOrange}, {5.4f, "005", kGreen}, {29.9f, "030", kOrange},
      {30, "030", kRed},      {999, "999", kRed},   {999.5f, "***", kRed}, {0, "000", kGreen},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.age);
    form().showDiffAge(c.age);
    EXPECT_EQ(text("DiffAgeLabel"), c.text);
    EXPECT_EQ(color("DiffAgeLabel"), c.color);
  }
  form().showDiffAge(std::numeric_limits<float>::quiet_NaN());
  EXPECT_EQ(color("DiffAgeLabel"), kRed);
}

TEST_F(PositionFormTest, BssAgeOfCorrections) {
  feed("GPBSS,1,2,3,4,12,6");
  showBss();
  EXPECT_EQ(text("DiffAgeLabel"), "012");
  EXPECT_EQ(color("DiffAgeLabel"), kOrange);
  feed("GPBSS,1,2,3,4,,6");
  showBss();
  EXPECT_EQ(text("DiffAgeLabel"), "---");
  EXPECT_EQ(color("DiffAgeLabel"), kBlack);
  feed("GPBSS,1,2,3,4,1e300,6");
  showBss();
  EXPECT_EQ(text("DiffAgeLabel"), "***");
  EXPECT_EQ(color("DiffAgeLabel"), kRed);
}

// ---- held drawing -------------------------------------------------------------------

Fix heldFix(double latitudeDeg, Dop hdop, Dop vdop, bool diffAge, FixStatus status) {
  Fix fix;
  fix.latitude = latitudeDeg * kDegree;
  fix.longitude = 37.6 * kDegree;
  fix.height = 150 + latitudeDeg;
  fix.hdop = hdop;
  fix.vdop = vdop;
  fix.hasDiffAge = diffAge;
  fix.diffAge = float(latitudeDeg);
  fix.status = status;
  fix.speedKmh = latitudeDeg;
  std::snprintf(fix.utcText, sizeof fix.utcText, "10:00:%05.2f", latitudeDeg);
  std::snprintf(fix.dateText, sizeof fix.dateText, "01.05.24");
  return fix;
}

// Updates taken while the drawing is held show, once it is released, exactly
// what the same updates show drawn one by one: a fix without a dilution or an
// age of corrections leaves that label with the value the update before it
// wrote, and every "OLD" is reported as it is taken.
TEST_F(PositionFormTest, HeldUpdatesShowWhatTheyShowOneByOne) {
  feed("GPBSS,1,2,3,4,,6");
  const NmeaFieldTable bssWithoutAge = app.receiver->nmea.stored(NmeaKind::BSS);
  const Dop none;
  const Dop field{Dop::Form::Field, 1.2};
  const Dop tenths{Dop::Form::Tenths, 25};
  const std::vector<std::function<void(TPositionForm&)>> sequences[] = {
      {[&](TPositionForm& f) { f.showFix(heldFix(55.1, field, tenths, true, FixStatus::ThreeD)); },
       [&](TPositionForm& f) { f.showFix(heldFix(55.2, none, field, false, FixStatus::Stale)); }},
      {[&](TPositionForm& f) { f.showFix(heldFix(12, field, field, true, FixStatus::RtkFloat)); },
       [&](TPositionForm& f) { f.showBssDiffAge(bssWithoutAge); },
       [&](TPositionForm& f) { f.showFix(heldFix(13, tenths, none, false, FixStatus::Stale)); }},
      {[&](TPositionForm& f) { f.showBssDiffAge(bssWithoutAge); },
       [&](TPositionForm& f) { f.showFix(heldFix(40, none, none, true, FixStatus::Estimated)); },
       [&](TPositionForm& f) { f.showDiffAge(1500); }},
  };
  int sequence = 0;
  for (const auto& updates : sequences) {
    SCOPED_TRACE(sequence++);
    TPositionForm oneByOne, held;
    int staleOneByOne = 0, staleHeld = 0;
    QObject::connect(&oneByOne, &TPositionForm::staleShown, [&] { ++staleOneByOne; });
    QObject::connect(&held, &TPositionForm::staleShown, [&] { ++staleHeld; });
    test::expectHeldShownAsOneByOne(held, oneByOne, updates);
    EXPECT_EQ(staleHeld, staleOneByOne);
  }
}

}  // namespace
}  // namespace veltrano
