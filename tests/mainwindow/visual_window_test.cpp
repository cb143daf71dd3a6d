#include "displays/visual_form.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "../decoding/test_frames.h"
#include "decoding/fix_builder.h"
#include "displays/statistic_form.h"
#include "displays/tool_form.h"
#include "mainwindow/app_context.h"
#include "mainwindow/main_form.h"
#include "main_form_probe.h"
#include "util/formatters.h"

namespace veltrano {
namespace {

using Pixel = std::pair<int, int>;
using PixelSet = std::set<Pixel>;

const QRgb kOlive = qRgb(128, 128, 0);
const QRgb kLime = qRgb(0, 255, 0);
const QRgb kAqua = qRgb(0, 255, 255);
const QRgb kRed = qRgb(255, 0, 0);
const QRgb kGaugeGreen = qRgb(0, 128, 0);
// A pixel of the sky view's olive diagonal, which the plot does not have.
const QRgb kSkyMark = qRgb(128, 128, 0);
constexpr double kMetreNorth = 1 / kMeridianNumerator;
constexpr double kDegree = kPi / 180;
constexpr int kOneMetre = 18;  // radius selector position of R = 1 m

// The 12 pixels of a dot centred on (x, y).
PixelSet dotPixels(int x, int y) {
  PixelSet pixels;
  for (int dx = -1; dx <= 2; ++dx)
    for (int dy = -1; dy <= 0; ++dy) pixels.insert({x + dx, y + dy});
  pixels.insert({x, y + 1});
  pixels.insert({x + 1, y + 1});
  pixels.insert({x, y - 2});
  pixels.insert({x + 1, y - 2});
  return pixels;
}

PixelSet pixelsOf(const QImage& image, QRgb color) {
  PixelSet found;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) == color) found.insert({x, y});
  return found;
}

bool sameImage(const QImage& a, const QImage& b) { return a.convertToFormat(QImage::Format_RGB32) == b; }

class VisualFormTest : public ::testing::Test {
 protected:
  VisualFormTest() {
    TVisualForm* visual = app.visualForm.get();
    QObject::connect(visual, &TVisualForm::plotReset, [this] { calls.push_back("plotReset"); });
    QObject::connect(visual, &TVisualForm::pointPlotted, [this](double lat, double lon, double h) {
      calls.push_back("pointPlotted");
      points.push_back({lat, lon, h});
    });
    QObject::connect(visual, &TVisualForm::heightPlotted, [this](double h) {
      calls.push_back("heightPlotted");
      profile.push_back(h);
    });
  }

  TVisualForm& form() { return *app.visualForm; }
  const VisualFormControls& c() { return form().controls(); }
  const QImage& shown() { return c().image->picture(); }
  const QImage& plot() { return form().layers.plotLayer; }

  void showAt(int radiusPosition) {
    app.transport.radiusValue = radiusPosition;
    form().show();
  }

  void plotBinr(double lat, double lon, double height = 0, double vN = 0, double vE = 0) {
    BinrNavSolution& nav = app.receiver->binr.navSolution;
    nav.latitude = lat;
    nav.longitude = lon;
    nav.height = height;
    nav.velocityNorth = vN;
    nav.velocityEast = vE;
    Fix fix;
    buildBinrFix(app.receiver->binr, fix);
    form().plotFix(fix, statisticMean());
  }

  // The mean the Statistic window holds, which the plot is given with each sample.
  MeanPosition statisticMean() {
    const TStatisticForm& statistic = *app.statisticForm;
    return {statistic.meanLat(), statistic.meanLon(), statistic.meanHeight()};
  }

  // A position north and east of the reference by metres of the simple projection.
  void plotOffset(double north, double east, double height = 0) {
    const double lat = form().refLat + north * kMetreNorth;
    plotBinr(lat, form().refLon + east / (std::cos(lat) * kSemiMajorAxis), height);
  }

  void feedNmea(const std::string& body) {
    for (char ch : test::nmeaSentence(body)) app.receiver->nmea.pushNmeaChar(uint8_t(ch));
  }

  std::string text(AutoLabel* label) { return label->text().toStdString(); }

  uint8_t hits(int x, int y) { return form().layers.hitCount[size_t(x * kPlotSize + y)]; }

  struct Point {
    double lat, lon, height;
  };

  AppContext app;
  std::vector<std::string> calls;
  std::vector<Point> points;
  std::vector<double> profile;
};

// ---- showing the window and the empty plot -----------------------------------------

struct ShowCase {
  int radiusValue;
  int position;
  float radius;
};

class VisualShowTest : public VisualFormTest, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(VisualShowTest, RadiusComesFromTheMainWindow) {
  showAt(GetParam().radiusValue);
  EXPECT_EQ(c().rUpDown->maximum(), 62);
  EXPECT_EQ(c().rUpDown->position(), GetParam().position);
  EXPECT_EQ(form().plotRadius, GetParam().radius);
  EXPECT_FLOAT_EQ(form().pixelsPerMetre, 307.0f / 6 / GetParam().radius);
}

INSTANTIATE_TEST_SUITE_P(Positions, VisualShowTest,
                         ::testing::Values(ShowCase{kOneMetre, kOneMetre, 1}, ShowCase{0, 0, 0.01f},
                                           ShowCase{62, 62, 90000}, ShowCase{75, 62, 90000},
                                           ShowCase{-4, 0, 0.01f}));

TEST_F(VisualFormTest, ShowResetsThePlot) {
  showAt(kOneMetre);
  EXPECT_EQ(calls, std::vector<std::string>{"plotReset"});
  EXPECT_TRUE(sameImage(shown(), plot()));
  EXPECT_EQ(form().markerX, 0);
  EXPECT_EQ(form().markerY, 0);
  for (uint8_t count : form().layers.hitCount) ASSERT_EQ(count, 127);
  // Dots and marker of an earlier run are gone after the next reset.
  plotOffset(0, 0);
  calls.clear();
  form().resetPlot();
  EXPECT_TRUE(pixelsOf(plot(), kRed).empty());
  EXPECT_EQ(hits(153, 153), 127);
  EXPECT_EQ(hits(0, 0), 127);
  EXPECT_EQ(calls, std::vector<std::string>{"plotReset"});
}

TEST_F(VisualFormTest, EmptyPlotHasAxesRingsAndCompassLetters) {
  showAt(kOneMetre);
  for (int i : {20, 60, 120, 170, 230, 290}) {
    EXPECT_EQ(plot().pixel(i, 153), kOlive) << i;
    EXPECT_EQ(plot().pixel(153, i), kOlive) << i;
  }
  // Ten pixels right of the vertical axis the rings of radius 51, 102 and
  // 153.5 cross at about 50, 101.5 and 153 pixels below the centre.
  std::vector<int> crossings;
  for (int y = 160; y < kPlotSize; ++y)
    if (plot().pixel(163, y) == kOlive && (crossings.empty() || crossings.back() < y - 2)) crossings.push_back(y);
  ASSERT_EQ(crossings.size(), 3u);
  EXPECT_NEAR(crossings[0], 203, 1);
  EXPECT_NEAR(crossings[1], 254, 1);
  EXPECT_NEAR(crossings[2], 305, 1);
  // Inside the inner ring only the background and the axes.
  for (int y = 110; y < 195; ++y)
    if (y != 153) {
      EXPECT_NE(plot().pixel(140, y), kOlive) << y;
    }

  const auto hasAqua = [this](int x0, int y0) {
    for (int y = y0; y < y0 + 13 && y < kPlotSize; ++y)
      for (int x = x0; x < x0 + 8 && x < kPlotSize; ++x)
        if (plot().pixel(x, y) == kAqua) return true;
    return false;
  };
  EXPECT_TRUE(hasAqua(150, 0));    // N
  EXPECT_TRUE(hasAqua(150, 293));  // S
  EXPECT_TRUE(hasAqua(1, 147));    // W
  EXPECT_TRUE(hasAqua(299, 147));  // E
  EXPECT_TRUE(pixelsOf(plot(), kAqua).size() < 200u);
}

struct RingLabelCase {
  int position;
  const char* inner;
  const char* middle;
};

class VisualRingLabelTest : public VisualFormTest, public ::testing::WithParamInterface<RingLabelCase> {};

// Each label sits on a black box as wide as its text, cutting the horizontal
// axis from x = 194 (R) and from x = 245 (2R).
TEST_P(VisualRingLabelTest, LabelsOfRAnd2ROnBlack) {
  showAt(GetParam().position);
  QFont font = smallFont();
  font.setStyleStrategy(QFont::NoAntialias);
  const QFontMetrics metrics(font);
  const struct {
    int left;
    const char* text;
  } labels[] = {{194, GetParam().inner}, {245, GetParam().middle}};
  for (const auto& label : labels) {
    const int width = metrics.horizontalAdvance(QString::fromLatin1(label.text));
    EXPECT_EQ(plot().pixel(label.left - 1, 153), kOlive) << label.text;
    int black = 0;
    while (label.left + black < kPlotSize && plot().pixel(label.left + black, 153) != kOlive) ++black;
    EXPECT_EQ(black, width) << label.text;
    bool lime = false;
    for (int y = 147; y < 147 + metrics.height(); ++y)
      for (int x = label.left; x < label.left + width; ++x) lime = lime || plot().pixel(x, y) == kLime;
    EXPECT_TRUE(lime) << label.text;
  }
}

INSTANTIATE_TEST_SUITE_P(Radii, VisualRingLabelTest,
                         ::testing::Values(RingLabelCase{kOneMetre, " 1m ", " 2m "},
                                           RingLabelCase{0, " 0.01m ", " 0.02m "},
                                           RingLabelCase{62, " 90000m ", " 1.8E5m "}));

// ---- dots and the marker ----------------------------------------------------------

struct MarkerCase {
  double north, east;
  int x, y;
};

class VisualMarkerTest : public VisualFormTest, public ::testing::WithParamInterface<MarkerCase> {};

TEST_P(VisualMarkerTest, PositionLandsOnItsPixel) {
  showAt(kOneMetre);
  form().refLat = 0.97;
  form().refLon = 0.65;
  plotOffset(GetParam().north, GetParam().east);
  EXPECT_EQ(form().markerX, GetParam().x);
  EXPECT_EQ(form().markerY, GetParam().y);
  EXPECT_EQ(pixelsOf(plot(), kRed), dotPixels(GetParam().x, GetParam().y));
  // The marker counts no hit.
  EXPECT_EQ(hits(GetParam().x, GetParam().y), 127);
}

INSTANTIATE_TEST_SUITE_P(Offsets, VisualMarkerTest,
                         ::testing::Values(MarkerCase{1, 0, 153, 101}, MarkerCase{0, 0, 153, 153},
                                           MarkerCase{0, -1, 101, 153}, MarkerCase{-1, -1, 101, 204},
                                           MarkerCase{2.9, 2.9, 301, 4}));

TEST_F(VisualFormTest, MarkerAtTheReferenceCoversFourByFourPixels) {
  showAt(kOneMetre);
  plotOffset(0, 0);
  const PixelSet red = pixelsOf(plot(), kRed);
  EXPECT_EQ(red.begin()->first, 152);
  EXPECT_EQ(red.rbegin()->first, 155);
  int top = kPlotSize, bottom = 0;
  for (const Pixel& p : red) top = std::min(top, p.second), bottom = std::max(bottom, p.second);
  EXPECT_EQ(top, 151);
  EXPECT_EQ(bottom, 154);
}

TEST_F(VisualFormTest, FirstMarkerAfterResetLeavesAHistoryDotInTheCorner) {
  showAt(kOneMetre);
  plotOffset(0, 0);
  const PixelSet corner = {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}};
  for (const Pixel& p : corner) {
    EXPECT_EQ(plot().pixel(p.first, p.second), qRgb(128, 128, 128)) << p.first << "," << p.second;
    EXPECT_EQ(hits(p.first, p.second), 128);
  }
  EXPECT_EQ(hits(3, 0), 127);
  EXPECT_EQ(hits(0, 2), 127);
}

TEST_F(VisualFormTest, OldMarkerTurnsGreyWhenTheNextPositionArrives) {
  showAt(kOneMetre);
  plotOffset(1, 0);
  plotOffset(-1, -1);
  EXPECT_EQ(pixelsOf(plot(), kRed), dotPixels(101, 204));
  for (const Pixel& p : dotPixels(153, 101)) {
    EXPECT_EQ(plot().pixel(p.first, p.second), qRgb(128, 128, 128));
    EXPECT_EQ(hits(p.first, p.second), 128);
  }
}

struct SaturationCase {
  int repeats;
  int level;
};

class VisualSaturationTest : public VisualFormTest, public ::testing::WithParamInterface<SaturationCase> {};

// A position plotted n times and then left for another one has been painted
// as a history dot n times.
TEST_P(VisualSaturationTest, HitCountsStopAtWhite) {
  showAt(kOneMetre);
  for (int i = 0; i < GetParam().repeats; ++i) plotOffset(0, 0);
  plotOffset(1, 1);
  const int level = GetParam().level;
  for (const Pixel& p : dotPixels(153, 153)) {
    EXPECT_EQ(plot().pixel(p.first, p.second), qRgb(level, level, level));
    EXPECT_EQ(hits(p.first, p.second), level);
  }
}

INSTANTIATE_TEST_SUITE_P(Levels, VisualSaturationTest,
                         ::testing::Values(SaturationCase{1, 128}, SaturationCase{127, 254},
                                           SaturationCase{128, 255}, SaturationCase{300, 255}));

TEST_F(VisualFormTest, DotsOutsideThePlotAreClipped) {
  showAt(0);  // R = 1 cm
  plotOffset(10, -10);
  plotOffset(-1000, 1000);
  EXPECT_GT(form().markerX, 5000000);
  EXPECT_GT(form().markerY, 5000000);
  EXPECT_TRUE(pixelsOf(plot(), kRed).empty());
  plotOffset(0, 0);
  EXPECT_EQ(pixelsOf(plot(), kRed), dotPixels(153, 153));
}

// ---- offset labels and calls out ---------------------------------------------------

struct OffsetCase {
  double north, east, height;
  const char* dB;
  const char* dL;
  const char* dH;
  const char* dX;
};

class VisualOffsetTest : public VisualFormTest, public ::testing::WithParamInterface<OffsetCase> {};

TEST_P(VisualOffsetTest, CurrentPositionLabels) {
  showAt(kOneMetre);
  form().refLat = 0.7;
  form().refLon = 0.2;
  form().refHeight = 100;
  plotOffset(GetParam().north, GetParam().east, GetParam().height);
  EXPECT_EQ(text(c().dBLabel), GetParam().dB);
  EXPECT_EQ(text(c().dLLabel), GetParam().dL);
  EXPECT_EQ(text(c().dHLabel), GetParam().dH);
  EXPECT_EQ(text(c().dXLabel), GetParam().dX);
}

INSTANTIATE_TEST_SUITE_P(Offsets, VisualOffsetTest,
                         ::testing::Values(OffsetCase{3, 4, 102.5, "3.000 m", "4.000 m", "2.500 m", "5.000 m"},
                                           OffsetCase{-3, -4, 97, "-3.000 m", "-4.000 m", "-3.000 m", "5.000 m"},
                                           OffsetCase{0.0004, 0, 100, "0.000 m", "0.000 m", "0.000 m", "0.000 m"},
                                           OffsetCase{12345.6789, 0, 100, "12345.679 m", "0.000 m", "0.000 m",
                                                      "12345.679 m"}));

TEST_F(VisualFormTest, MeanLabelsUseTheStatisticWindowsMean) {
  showAt(kOneMetre);
  // One accepted BINR sample makes the Statistic window's mean.
  BinrNavSolution& nav = app.receiver->binr.navSolution;
  nav.latitude = 1e-6;
  nav.longitude = 2e-6;
  nav.height = 7.25;
  nav.solutionStatus = 0x01;
  Fix fix;
  buildBinrFix(app.receiver->binr, fix);
  ASSERT_TRUE(app.statisticForm->updateStatistic(fix));
  ASSERT_EQ(app.statisticForm->meanLat(), 1e-6);
  plotOffset(0, 0);
  EXPECT_EQ(text(c().dMbLabel), "6.335 m");
  EXPECT_EQ(text(c().dMlLabel), "12.756 m");
  EXPECT_EQ(text(c().dMhLabel), "7.250 m");
  EXPECT_EQ(text(c().dMxLabel), "14.243 m");
}

// Each position is reported for the point store, then, once the marker moved,
// its height below the reference for the profile.
TEST_F(VisualFormTest, EveryPositionGoesToThePointStoreAndItsHeightToTheProfile) {
  showAt(kOneMetre);
  form().refHeight = 150;
  calls.clear();
  plotBinr(0.5, 0.6, 120.5);
  ASSERT_EQ(points.size(), 1u);
  EXPECT_EQ(points[0].lat, 0.5);
  EXPECT_EQ(points[0].lon, 0.6);
  EXPECT_EQ(points[0].height, 120.5);
  EXPECT_EQ(profile, std::vector<double>{29.5});
  EXPECT_EQ(calls, (std::vector<std::string>{"pointPlotted", "heightPlotted"}));
  plotBinr(0.5, 0.6, 160);
  EXPECT_EQ(points.size(), 2u);
  EXPECT_EQ(profile, (std::vector<double>{29.5, -10.0}));
}

TEST_F(VisualFormTest, UpdateMarkerAloneReportsTheHeightOnly) {
  showAt(kOneMetre);
  form().refHeight = 100;
  form().currentHeight = 98;
  calls.clear();
  form().updateMarker(MeanPosition{form().refLat, form().refLon, 103});
  EXPECT_EQ(calls, std::vector<std::string>{"heightPlotted"});
  EXPECT_EQ(profile, std::vector<double>{2.0});
  EXPECT_EQ(text(c().dMhLabel), "3.000 m");
  EXPECT_EQ(text(c().dMbLabel), "0.000 m");
}

// ---- the three protocols -------------------------------------------------------------

TEST_F(VisualFormTest, Binr2PositionInItsUnits) {
  showAt(kOneMetre);
  Binr2NavSolution& nav = app.receiver->binr2.navSolution;
  nav.latitude = 555000000;
  nav.longitude = -376000000;
  nav.ellipsoidHeight = 15025;
  nav.geoidSeparation = 1400;
  nav.velocityNorth = 0;
  nav.velocityEast = 250;
  c().cogCheckBox->setChecked(true);
  c().sogCheckBox->setChecked(true);
  Fix fix;
  buildBinr2Fix(app.receiver->binr2, fix);
  form().plotFix(fix, statisticMean());
  ASSERT_EQ(points.size(), 1u);
  EXPECT_NEAR(points[0].lat, 55.5 * kDegree, 1e-15);
  EXPECT_NEAR(points[0].lon, -37.6 * kDegree, 1e-15);
  EXPECT_DOUBLE_EQ(points[0].height, 136.25);
  EXPECT_EQ(form().currentHeight, points[0].height);
  EXPECT_FLOAT_EQ(form().courseOverGround, 90);
  EXPECT_FLOAT_EQ(form().speedOverGround, 2.5f);
}

struct NmeaSourceCase {
  const char* name;
  int positionSource;
  bool withGga, withGns;
  double latDeg, lonDeg, height;
};

class VisualNmeaTest : public VisualFormTest, public ::testing::WithParamInterface<NmeaSourceCase> {};

TEST_P(VisualNmeaTest, PositionFromTheSelectedSentence) {
  showAt(kOneMetre);
  const NmeaSourceCase& p = GetParam();
  app.receiver->nmea.positionSource = p.positionSource;
  feedNmea("GPRMC,120000.00,A,5533.0000,N,03730.0000,W,97.2,45.5,010125,,,A");
  if (p.withGga) feedNmea("GPGGA,120000.00,5530.0000,N,03736.0000,E,1,08,0.9,136.25,M,14.0,M,,");
  if (p.withGns) feedNmea("GNGNS,120000.00,5531.5000,S,03737.0000,E,AA,12,0.8,140.5,14.0,,");
  c().cogCheckBox->setChecked(true);
  c().sogCheckBox->setChecked(true);
  Fix fix;
  buildNmeaFix(app.receiver->nmea, fix);
  form().plotFix(fix, statisticMean());
  ASSERT_EQ(points.size(), 1u);
  EXPECT_NEAR(points[0].lat, p.latDeg * kDegree, 1e-12);
  EXPECT_NEAR(points[0].lon, p.lonDeg * kDegree, 1e-12);
  EXPECT_DOUBLE_EQ(points[0].height, p.height);
  EXPECT_FLOAT_EQ(form().courseOverGround, 45.5f);
  EXPECT_EQ(form().speedOverGround, float(97.2 * 1.852));
}

INSTANTIATE_TEST_SUITE_P(
    Sources, VisualNmeaTest,
    ::testing::Values(NmeaSourceCase{"AutoGga", 0, true, false, 55.5, 37.6, 136.25},
                      NmeaSourceCase{"AutoGns", 0, true, true, -55.525, 37.61666666666667, 140.5},
                      NmeaSourceCase{"AutoRmcOnly", 0, false, false, 55.55, -37.5, 0},
                      NmeaSourceCase{"Gga", 2, true, true, 55.5, 37.6, 136.25},
                      NmeaSourceCase{"Rmc", 3, true, true, 55.55, -37.5, 0},
                      NmeaSourceCase{"Gns", 10, true, true, -55.525, 37.61666666666667, 140.5}),
    [](const ::testing::TestParamInfo<NmeaSourceCase>& info) { return std::string(info.param.name); });

struct VelocityCase {
  double north, east;
  float course, speed;
};

class VisualCourseTest : public VisualFormTest, public ::testing::WithParamInterface<VelocityCase> {};

TEST_P(VisualCourseTest, CourseAndSpeedFromBinrVelocities) {
  showAt(kOneMetre);
  c().cogCheckBox->setChecked(true);
  c().sogCheckBox->setChecked(true);
  plotBinr(0, 0, 0, GetParam().north, GetParam().east);
  EXPECT_NEAR(form().courseOverGround, GetParam().course, 1e-4);
  EXPECT_FLOAT_EQ(form().speedOverGround, GetParam().speed);
}

INSTANTIATE_TEST_SUITE_P(Velocities, VisualCourseTest,
                         ::testing::Values(VelocityCase{0, 0, 0, 0}, VelocityCase{0, 5, 90, 5},
                                           VelocityCase{5, 0, 0, 5}, VelocityCase{-5, 0, 180, 5},
                                           VelocityCase{0, -5, 270, 5}, VelocityCase{3, 3, 45, float(std::sqrt(18.0))},
                                           VelocityCase{-3, -4, float(180 + std::atan2(4, 3) * 180 / kPi), 5}));

TEST_F(VisualFormTest, UntickedGaugeBoxesFreezeCourseAndSpeed) {
  showAt(kOneMetre);
  c().cogCheckBox->setChecked(true);
  c().sogCheckBox->setChecked(true);
  plotBinr(0, 0, 0, 0, 5);
  c().cogCheckBox->setChecked(false);
  c().sogCheckBox->setChecked(false);
  plotBinr(0, 0, 0, 7, 0);
  EXPECT_FLOAT_EQ(form().courseOverGround, 90);
  EXPECT_FLOAT_EQ(form().speedOverGround, 5);
  // Ticked again, the pointer shows the old course until the next solution.
  c().cogCheckBox->setChecked(true);
  EXPECT_EQ(shown().pixel(280, 153), kRed);
  EXPECT_NE(shown().pixel(153, 26), kRed);
}

// ---- layer composition --------------------------------------------------------------

struct CompositionCase {
  bool sat, cog, sog;
};

class VisualCompositionTest : public VisualFormTest, public ::testing::WithParamInterface<CompositionCase> {};

TEST_P(VisualCompositionTest, ImageShowsTheComposedLayer) {
  showAt(kOneMetre);
  const CompositionCase& p = GetParam();
  c().cogCheckBox->setChecked(true);
  c().sogCheckBox->setChecked(true);
  plotBinr(0, 0, 0, 0, 90);  // course 90 (right), speed 90 (up)
  c().satCheckBox->setChecked(p.sat);
  c().cogCheckBox->setChecked(p.cog);
  c().sogCheckBox->setChecked(p.sog);
  form().layers.skyLayer.fill(Qt::black);
  form().SatCheckBoxClick();

  EXPECT_EQ(form().layers.skyLayer.pixel(21, 21) == kSkyMark, p.sat);
  EXPECT_EQ(c().satSystemPanel->isEnabled(), p.sat);
  const QColor gpsBackground = c().gpsCheckBox->palette().color(QPalette::Window);
  EXPECT_EQ(gpsBackground, p.sat ? QColor(0, 0, 255) : QColor(0, 0, 127));

  const QImage& base = p.sat ? form().layers.skyLayer : plot();
  if (p.cog || p.sog) {
    EXPECT_TRUE(sameImage(shown(), form().layers.gaugeLayer));
  } else {
    EXPECT_TRUE(sameImage(shown(), base));
  }
  EXPECT_EQ(shown().pixel(21, 21) == kSkyMark, p.sat);
  EXPECT_EQ(shown().pixel(280, 153) == kRed, p.cog);        // pointer to the right
  EXPECT_EQ(shown().pixel(153, 77) == kGaugeGreen, p.sog);  // needle up
  // The plot layer itself never carries the sky view or the gauges.
  EXPECT_TRUE(pixelsOf(plot(), kGaugeGreen).empty());
  EXPECT_NE(plot().pixel(21, 21), kSkyMark);
}

INSTANTIATE_TEST_SUITE_P(Boxes, VisualCompositionTest,
                         ::testing::Values(CompositionCase{false, false, false}, CompositionCase{true, false, false},
                                           CompositionCase{false, true, false}, CompositionCase{false, false, true},
                                           CompositionCase{false, true, true}, CompositionCase{true, true, false},
                                           CompositionCase{true, false, true}, CompositionCase{true, true, true}));

TEST_F(VisualFormTest, PlotChangesReachTheImageOnlyThroughTheComposition) {
  showAt(kOneMetre);
  plotOffset(0, 0);
  EXPECT_NE(shown().pixel(153, 153), kRed);
  form().SatCheckBoxClick();
  EXPECT_EQ(shown().pixel(153, 153), kRed);
}

// ---- through the whole path --------------------------------------------------------

test::Bytes binrFix(double lat, double lon, double height, double vN, double vE) {
  test::Bytes nav(69, 0);
  test::put(nav, 0, &lat, 8);
  test::put(nav, 8, &lon, 8);
  test::put(nav, 16, &height, 8);
  test::put(nav, 40, &vN, 8);
  test::put(nav, 48, &vE, 8);
  nav[68] = 0x01;
  return test::binrFrame(0x88, nav);
}

class VisualPathTest : public VisualFormTest {
 protected:
  void startBinr(int radiusPosition) {
    TMainForm& main = *app.mainForm;
    app.transport.receiverProtocol = ReceiverProtocol::BINR;
    app.transport.radiusValue = radiusPosition;
    test::probeControls(main).statisticCheckBox->setChecked(true);
    test::probeControls(main).visualCheckBox->setChecked(true);
    main.setTransportState(TransportState::PLAY);
  }
  void feed(const test::Bytes& bytes) { app.intake->receiveBlock(bytes.data(), int32_t(bytes.size())); }
};

TEST_F(VisualPathTest, AcceptedFixIsPlottedAndShown) {
  startBinr(kOneMetre);
  ASSERT_TRUE(form().isVisible());
  form().refLat = 0.9;
  feed(binrFix(0.9 + kMetreNorth, 0, 0, 0, 0));
  EXPECT_EQ(form().markerY, 101);
  EXPECT_EQ(pixelsOf(shown(), kRed), dotPixels(153, 101));
  EXPECT_NE(form().layers.skyLayer.pixel(21, 21), kSkyMark);
  // With SatCheckBox ticked each solution has the sky view drawn and shown.
  c().satCheckBox->setChecked(true);
  form().layers.skyLayer.fill(Qt::black);
  feed(binrFix(0.9, 0, 0, 0, 0));
  EXPECT_EQ(form().layers.skyLayer.pixel(21, 21), kSkyMark);
  EXPECT_EQ(shown().pixel(21, 21), kSkyMark);
  EXPECT_EQ(form().markerY, 153);
}

QString grabFolder() {
  const char* dir = std::getenv("VELTRANO_GRAB_DIR");
  return dir == nullptr ? QString() : QString::fromLocal8Bit(dir);
}

// Plots a cloud of noisy positions through the whole path and saves the
// window, plain and with the gauges, when VELTRANO_GRAB_DIR names a folder.
TEST_F(VisualPathTest, GrabTheScatter) {
  const QString folder = grabFolder();
  if (folder.isEmpty()) GTEST_SKIP() << "VELTRANO_GRAB_DIR not set";
  startBinr(kOneMetre);
  form().refLat = 55.75 * kDegree;
  form().refLon = 37.62 * kDegree;
  form().refHeight = 150;
  std::mt19937 random(7);
  std::normal_distribution<double> noise(0, 0.35);
  for (int i = 0; i < 2000; ++i) {
    const double north = 0.3 + noise(random);
    const double east = -0.2 + 1.4 * noise(random);
    const double lat = form().refLat + north * kMetreNorth;
    const double lon = form().refLon + east / (std::cos(lat) * kSemiMajorAxis);
    feed(binrFix(lat, lon, 151 + noise(random), 1.5 + noise(random), 2.5 + noise(random)));
  }
  EXPECT_TRUE(form().grab().save(folder + QStringLiteral("/visual.png")));
  c().cogCheckBox->setChecked(true);
  c().sogCheckBox->setChecked(true);
  feed(binrFix(form().refLat, form().refLon, 150, 1.5, 2.5));
  EXPECT_TRUE(form().grab().save(folder + QStringLiteral("/visual_gauges.png")));
}

// The window after playing the BINR sample recording about its nominal place.
TEST_F(VisualPathTest, GrabAfterPlayingTheBinrSample) {
  const QString folder = grabFolder();
  if (folder.isEmpty()) GTEST_SKIP() << "VELTRANO_GRAB_DIR not set";
  const QString sample = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + QStringLiteral("/../../samples/binr-static.dat");
  QFile file(sample);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << sample.toStdString();
  const QByteArray bytes = file.readAll();
  startBinr(20);  // R = 3 m
  form().refLat = 55.7522 * kDegree;
  form().refLon = 37.6156 * kDegree;
  form().refHeight = 150;
  constexpr int kBlock = 4096;
  for (qsizetype at = 0; at < bytes.size(); at += kBlock) {
    const auto* block = reinterpret_cast<const uint8_t*>(bytes.constData() + at);
    app.intake->receiveBlock(block, int32_t(std::min<qsizetype>(kBlock, bytes.size() - at)));
  }
  EXPECT_GT(form().markerX, 0);
  EXPECT_TRUE(form().grab().save(folder + QStringLiteral("/visual_sample.png")));
}

}  // namespace
}  // namespace veltrano
