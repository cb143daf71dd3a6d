// The widget-free pieces of the Visual window's plot: the general number
// format of the ring labels, the radius table, the projections, the gauge
// points, the flood fill and the gauges drawn with it.
#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <limits>
#include <string>

#include "displays/flood_fill.h"
#include "displays/gauges.h"
#include "displays/general_format.h"
#include "displays/plot_geometry.h"
#include "displays/plot_layers.h"
#include "util/formatters.h"

namespace veltrano {
namespace {

constexpr double kMetreNorth = 1 / kMeridianNumerator;  // radians of latitude per metre

// ---- general number format ----------------------------------------------------

struct GeneralCase {
  double value;
  const char* text;
};

class FormatGeneralTest : public ::testing::TestWithParam<GeneralCase> {};

TEST_P(FormatGeneralTest, FiveSignificantDigits) {
  EXPECT_EQ(formatGeneral(GetParam().value, 5), GetParam().text) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatGeneralTest,
    ::testing::Values(GeneralCase{0.01f, "0.01"}, GeneralCase{0.02f, "0.02"}, GeneralCase{0.3f, "0.3"},
                      GeneralCase{2 * 0.09f, "0.18"}, GeneralCase{1, "1"}, GeneralCase{1.5, "1.5"},
                      GeneralCase{20000, "20000"}, GeneralCase{99999, "99999"}, GeneralCase{180000, "1.8E5"},
                      GeneralCase{100000, "1E5"}, GeneralCase{123456, "1.2346E5"}, GeneralCase{99999.5, "1E5"},
                      GeneralCase{12345.67, "12346"}, GeneralCase{1.23456, "1.2346"},
                      GeneralCase{0.0001, "0.0001"}, GeneralCase{0.00001, "1E-5"}, GeneralCase{0.000123456, "0.00012346"},
                      GeneralCase{0, "0"}, GeneralCase{-2.5, "-2.5"}, GeneralCase{-180000, "-1.8E5"}));

// The labels of R and 2R along the radius table.
struct RingCase {
  int position;
  const char* inner;
  const char* middle;
};

class RingLabelTest : public ::testing::TestWithParam<RingCase> {};

TEST_P(RingLabelTest, LabelsOfRAnd2R) {
  const float r = plotRadiusAt(GetParam().position);
  EXPECT_EQ(ringLabel(r), std::string(" ") + GetParam().inner + "m ");
  EXPECT_EQ(ringLabel(2 * r), std::string(" ") + GetParam().middle + "m ");
}

INSTANTIATE_TEST_SUITE_P(Table, RingLabelTest,
                         ::testing::Values(RingCase{0, "0.01", "0.02"}, RingCase{8, "0.09", "0.18"},
                                           RingCase{9, "0.1", "0.2"}, RingCase{17, "0.9", "1.8"},
                                           RingCase{18, "1", "2"}, RingCase{53, "9000", "18000"},
                                           RingCase{54, "10000", "20000"}, RingCase{58, "50000", "1E5"},
                                           RingCase{61, "80000", "1.6E5"}, RingCase{62, "90000", "1.8E5"}));

// ---- radius table and scale ---------------------------------------------------------

TEST(PlotRadiusTest, TableOfSinglePrecisionRadii) {
  const struct {
    int position;
    float radius;
  } cases[] = {{0, 0.01f}, {1, 0.02f}, {8, 0.09f}, {9, 0.1f}, {18, 1}, {20, 3}, {27, 10}, {44, 900}, {62, 90000}};
  for (const auto& c : cases) EXPECT_EQ(plotRadiusAt(c.position), c.radius) << c.position;
  for (int p = 1; p < kRadiusPositions; ++p) EXPECT_GT(plotRadiusAt(p), plotRadiusAt(p - 1)) << p;
  // Positions beyond the table read its ends.
  EXPECT_EQ(plotRadiusAt(-1), 0.01f);
  EXPECT_EQ(plotRadiusAt(63), 90000.0f);
}

TEST(PlotRadiusTest, InnerRingIsRMetres) {
  EXPECT_FLOAT_EQ(pixelsPerMetreFor(1), 307.0f / 6);
  EXPECT_FLOAT_EQ(pixelsPerMetreFor(10) * 10, 307.0f / 6);
}

// ---- projections -------------------------------------------------------------------

TEST(SimpleOffsetTest, OneMetreNorthAtOneMetreRadius) {
  const double refLat = 0.9;
  const LocalOffset o = simpleOffset(refLat + kMetreNorth, 0.3, refLat, 0.3, pixelsPerMetreFor(1));
  EXPECT_NEAR(o.north, 1, 1e-6);
  EXPECT_EQ(o.east, 0);
  EXPECT_EQ(o.x, 153);
  EXPECT_EQ(o.y, 101);
}

TEST(SimpleOffsetTest, PixelsTruncateTowardZero) {
  const float scale = pixelsPerMetreFor(1);
  const double eastMetre = 1 / kSemiMajorAxis;  // radians of longitude per metre at the equator
  const struct {
    double north, east;
    int x, y;
  } cases[] = {{0, 0, 153, 153},      {0, 1, 204, 153},     {0, -1, 101, 153},    {-1, 0, 153, 204},
               {0, -3.5, -26, 153},   {-3.1, 0, 153, 311}, {0, -3.0, 0, 153}};
  for (const auto& c : cases) {
    const LocalOffset o = simpleOffset(c.north * kMetreNorth, c.east * eastMetre, 0, 0, scale);
    EXPECT_EQ(o.x, c.x) << c.north << " " << c.east;
    EXPECT_EQ(o.y, c.y) << c.north << " " << c.east;
  }
}

TEST(SimpleOffsetTest, EastShrinksWithLatitudeAndWrapsAtTheDateLine) {
  const double lat = 60 * kPi / 180;
  const LocalOffset o = simpleOffset(lat, 1e-6, lat, 0, 1);
  EXPECT_NEAR(o.east, 0.5 * kSemiMajorAxis * 1e-6, 1e-9);
  // Just west and just east of 180 degrees are 2e-6 radians apart.
  const LocalOffset across = simpleOffset(0, -kPi + 1e-6, 0, kPi - 1e-6, 1);
  EXPECT_NEAR(across.east, 2e-6 * kSemiMajorAxis, 1e-6);
  const LocalOffset back = simpleOffset(0, kPi - 1e-6, 0, -kPi + 1e-6, 1);
  EXPECT_NEAR(back.east, -2e-6 * kSemiMajorAxis, 1e-6);
}

TEST(SimpleOffsetTest, FarAndInvalidPositionsGiveSafePixels) {
  const LocalOffset far = simpleOffset(1.5, 3, 0, 0, pixelsPerMetreFor(0.01f));
  EXPECT_LT(far.y, 0);
  EXPECT_GT(far.x, kPlotSize);
  const LocalOffset invalid = simpleOffset(std::nan(""), 0, 0, 0, 1);
  EXPECT_EQ(invalid.y, 0);
}

TEST(FullOffsetTest, RadiiOfCurvatureAtTheReference) {
  // On the equator the meridian radius is a(1 - e^2), the parallel's the semi-major axis.
  const PlaneOffset equator = fullOffset(1e-6, 2e-6, 0, 0, 0);
  EXPECT_NEAR(equator.north, 6.335439327, 1e-8);
  EXPECT_NEAR(equator.east, 12.756274, 1e-8);
  // At the pole the meridian radius is a / sqrt(1 - e^2); heights add to it.
  const PlaneOffset pole = fullOffset(kPi / 2 + 1e-6, 0, kPi / 2, 0, 100);
  EXPECT_NEAR(pole.north, (6399593.6258 + 100) * 1e-6, 1e-8);
  // The longitude difference wraps like the simple projection's.
  const PlaneOffset across = fullOffset(0, -kPi + 1e-6, 0, kPi - 1e-6, 0);
  EXPECT_NEAR(across.east, 2e-6 * kSemiMajorAxis, 1e-6);
}

TEST(GaugePointTest, AnglesRunClockwiseFromDown) {
  const struct {
    double angle;
    int radius, x, y;
  } cases[] = {{0, 100, 153, 253}, {90, 100, 253, 153}, {180, 153, 153, 0}, {-90, 76, 77, 153}, {45, 100, 223, 223}};
  for (const auto& c : cases) {
    const PlotPixel p = gaugePoint(c.angle, c.radius);
    EXPECT_EQ(p.x, c.x) << c.angle;
    EXPECT_EQ(p.y, c.y) << c.angle;
  }
}

// ---- flood fill -------------------------------------------------------------------

const QRgb kBorder = qRgb(192, 192, 192);
const QRgb kFill = qRgb(255, 0, 0);
const QRgb kBlank = qRgb(0, 0, 0);

QImage blank(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(kBlank);
  return image;
}

int countColor(const QImage& image, QRgb color) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == color;
  return n;
}

TEST(FloodFillTest, FillsTheInsideOfABorder) {
  QImage image = blank(20, 20);
  for (int i = 2; i <= 12; ++i) {
    image.setPixel(i, 2, kBorder);
    image.setPixel(i, 12, kBorder);
    image.setPixel(2, i, kBorder);
    image.setPixel(12, i, kBorder);
  }
  FloodFill fill(20, 20);
  EXPECT_EQ(fill.fill(image, 5, 5, kFill, kBorder), 81);
  EXPECT_EQ(countColor(image, kFill), 81);
  EXPECT_EQ(image.pixel(3, 3), kFill);
  EXPECT_EQ(image.pixel(11, 11), kFill);
  EXPECT_EQ(image.pixel(1, 1), kBlank);
  EXPECT_EQ(image.pixel(13, 7), kBlank);
  // The same buffers serve the next fill: the outside this time.
  EXPECT_EQ(fill.fill(image, 0, 0, qRgb(0, 0, 255), kBorder), 400 - 81 - 40);
}

TEST(FloodFillTest, StopsAtADiagonalBorder) {
  QImage image = blank(10, 10);
  for (int i = 0; i < 10; ++i) image.setPixel(i, i, kBorder);
  FloodFill fill(10, 10);
  EXPECT_EQ(fill.fill(image, 0, 9, kFill, kBorder), 45);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x)
      if (x != y) {
        EXPECT_EQ(image.pixel(x, y), x < y ? kFill : kBlank) << x << "," << y;
      }
}

TEST(FloodFillTest, PassesThroughPixelsOfTheFillColour) {
  // A wall of the fill colour is no border.
  QImage image = blank(8, 8);
  for (int y = 0; y < 8; ++y) image.setPixel(4, y, kFill);
  FloodFill fill(8, 8);
  EXPECT_EQ(fill.fill(image, 0, 0, kFill, kBorder), 64);
  EXPECT_EQ(image.pixel(7, 7), kFill);
}

TEST(FloodFillTest, NothingFromABorderOrOutsideSeed) {
  QImage image = blank(8, 8);
  image.setPixel(3, 3, kBorder);
  FloodFill fill(8, 8);
  EXPECT_EQ(fill.fill(image, 3, 3, kFill, kBorder), 0);
  EXPECT_EQ(fill.fill(image, -1, 3, kFill, kBorder), 0);
  EXPECT_EQ(fill.fill(image, 3, 8, kFill, kBorder), 0);
  EXPECT_EQ(countColor(image, kFill), 0);
}

TEST(FloodFillTest, FillsAWholePictureWithoutABorder) {
  QImage image = blank(kPlotSize, kPlotSize);
  FloodFill fill(kPlotSize, kPlotSize);
  EXPECT_EQ(fill.fill(image, 200, 100, kFill, kBorder), kPlotSize * kPlotSize);
}

// ---- gauges -------------------------------------------------------------------------

struct GaugePixels {
  int count = 0;
  double minRadius = 1e9, maxRadius = 0;
  double minAngle = 1e9, maxAngle = -1e9;  // gauge angles: 0 down, 90 right, 180 up
};

// Where the pixels of a colour lie, as seen from the plot's centre, with
// angles unwrapped around `around`.
GaugePixels survey(const QImage& image, QRgb color, double around) {
  GaugePixels s;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != color) continue;
      const double dx = x - kPlotCentre, dy = y - kPlotCentre;
      double angle = std::atan2(dx, dy) * 180 / kPi;
      while (angle < around - 180) angle += 360;
      while (angle > around + 180) angle -= 360;
      const double r = std::hypot(dx, dy);
      ++s.count;
      s.minRadius = std::min(s.minRadius, r);
      s.maxRadius = std::max(s.maxRadius, r);
      s.minAngle = std::min(s.minAngle, angle);
      s.maxAngle = std::max(s.maxAngle, angle);
    }
  return s;
}

struct CourseCase {
  float course;
  int tipX, tipY;  // the outline's tip on the outer ring
};

class CoursePointerTest : public ::testing::TestWithParam<CourseCase> {};

TEST_P(CoursePointerTest, RedWedgeAlongTheCourseNorthUp) {
  QImage layer = blank(kPlotSize, kPlotSize);
  Gauges gauges;
  gauges.drawCoursePointer(layer, GetParam().course);
  const double angle = 180 - GetParam().course;
  EXPECT_EQ(layer.pixel(GetParam().tipX, GetParam().tipY), kBorder);
  const PlotPixel seed = gaugePoint(angle, 127);
  EXPECT_EQ(layer.pixel(seed.x, seed.y), qRgb(255, 0, 0));
  const GaugePixels red = survey(layer, qRgb(255, 0, 0), angle);
  EXPECT_GT(red.count, 100);
  EXPECT_GE(red.minRadius, 100);
  EXPECT_LE(red.maxRadius, 153);
  EXPECT_GE(red.minAngle, angle - 4.5);
  EXPECT_LE(red.maxAngle, angle + 4.5);
  const GaugePixels outline = survey(layer, kBorder, angle);
  EXPECT_GE(outline.minRadius, 100);
  EXPECT_LE(outline.maxRadius, 154);
}

INSTANTIATE_TEST_SUITE_P(Directions, CoursePointerTest,
                         ::testing::Values(CourseCase{0, 153, 0}, CourseCase{90, 306, 153},
                                           CourseCase{180, 153, 306}, CourseCase{270, 0, 153},
                                           CourseCase{45, 261, 44}));

struct SpeedCase {
  float speed;
  double angle;  // where the needle points
};

class SpeedDialTest : public ::testing::TestWithParam<SpeedCase> {};

TEST_P(SpeedDialTest, GreenNeedleOneDegreePerUnit) {
  QImage layer = blank(kPlotSize, kPlotSize);
  Gauges gauges;
  gauges.drawSpeedDial(layer, GetParam().speed);
  const GaugePixels green = survey(layer, qRgb(0, 128, 0), GetParam().angle);
  EXPECT_GT(green.count, 100);
  EXPECT_GE(green.minRadius, 49);
  EXPECT_LE(green.maxRadius, 102);
  EXPECT_GE(green.minAngle, GetParam().angle - 8.5);
  EXPECT_LE(green.maxAngle, GetParam().angle + 8.5);
  EXPECT_LT(green.minAngle, GetParam().angle);
  EXPECT_GT(green.maxAngle, GetParam().angle);
}

// Speed 0 points left (-90), 90 up (-180), 180 and more right (-270).
INSTANTIATE_TEST_SUITE_P(Directions, SpeedDialTest,
                         ::testing::Values(SpeedCase{0, -90}, SpeedCase{90, -180}, SpeedCase{180, -270},
                                           SpeedCase{180.0144f, -270}, SpeedCase{1000, -270},
                                           SpeedCase{97.2f, -187.2}));

TEST(GaugeTest, HugeOrInvalidAnglesNeitherHangNorFlood) {
  QImage layer = blank(kPlotSize, kPlotSize);
  Gauges gauges;
  gauges.drawCoursePointer(layer, 1e30f);
  gauges.drawCoursePointer(layer, std::numeric_limits<float>::infinity());
  gauges.drawSpeedDial(layer, std::nanf(""));
  EXPECT_LT(countColor(layer, qRgb(255, 0, 0)) + countColor(layer, qRgb(0, 128, 0)), kPlotSize * kPlotSize / 10);
}

}  // namespace
}  // namespace veltrano
