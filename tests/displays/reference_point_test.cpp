// The reference point's texts: what the edits are given for a point, what a
// typed text reads as, and the move of the point onto a pixel of the plot.
#include "displays/reference_point.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "displays/plot_geometry.h"
#include "util/formatters.h"

namespace veltrano {
namespace {

constexpr double kDegree = kPi / 180;
// Latin-1 texts as the edits hold them.
const std::string kDeg(1, kDegreeSign);

std::string lat(const char* degrees, const char* rest) { return degrees + kDeg + rest; }

// ---- texts written for a point ----------------------------------------------------

struct TextCase {
  double degrees;
  std::string text;
};

class LatitudeTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(LatitudeTextTest, Text) { EXPECT_EQ(referenceLatitudeText(GetParam().degrees * kDegree), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(Latitudes, LatitudeTextTest,
                         ::testing::Values(TextCase{55.5, lat("55", "30.00000N")},
                                           TextCase{-33.25, lat("33", "15.00000S")},
                                           TextCase{0, lat("00", "00.00000N")}, TextCase{-0.0, lat("00", "00.00000N")},
                                           TextCase{55 + 5.12345 / 60, lat("55", "05.12345N")},
                                           TextCase{90, lat("90", "00.00000N")}, TextCase{-90, lat("90", "00.00000S")},
                                           // Just below a whole degree: the guard, and minutes that round to 60.
                                           TextCase{54.999999999999, lat("55", "00.00000N")},
                                           TextCase{54.99999999, lat("55", "00.00000N")},
                                           TextCase{54.9999999, lat("54", "59.99999N")},
                                           // Rounded, not cut, to the shown 0.00001 minute.
                                           TextCase{12 + 0.000006 / 60, lat("12", "00.00001N")},
                                           TextCase{12 + 0.000004 / 60, lat("12", "00.00000N")}));

class LongitudeTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(LongitudeTextTest, Text) { EXPECT_EQ(referenceLongitudeText(GetParam().degrees * kDegree), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(Longitudes, LongitudeTextTest,
                         ::testing::Values(TextCase{37.6156, lat("037", "36.93600E")},
                                           TextCase{-0.5, lat("000", "30.00000W")},
                                           TextCase{180, lat("180", "00.00000E")},
                                           TextCase{-180, lat("180", "00.00000W")},
                                           TextCase{-122.999999999999, lat("123", "00.00000W")},
                                           TextCase{7.99999999, lat("008", "00.00000E")}));

struct HeightTextCase {
  double height;
  const char* text;
};

class HeightTextTest : public ::testing::TestWithParam<HeightTextCase> {};

TEST_P(HeightTextTest, SevenCharacters) { EXPECT_EQ(referenceHeightText(GetParam().height), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(Heights, HeightTextTest,
                         ::testing::Values(HeightTextCase{150.25, "0150.25"}, HeightTextCase{0, "0000.00"},
                                           HeightTextCase{9999.99, "9999.99"}, HeightTextCase{-12.5, "-012.50"},
                                           HeightTextCase{-999.99, "-999.99"},
                                           // Beyond what the edit holds: its nearer end.
                                           HeightTextCase{12000, "9999.99"}, HeightTextCase{-2000, "-999.99"}));

// ---- texts read back --------------------------------------------------------------------

struct ReadCase {
  const char* name;
  std::string text;
  std::optional<double> degrees;
};

std::string caseName(const ::testing::TestParamInfo<ReadCase>& info) { return info.param.name; }

class ReadLatitudeTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadLatitudeTest, AngleOrNone) {
  const std::optional<double> angle = readReferenceLatitude(GetParam().text);
  ASSERT_EQ(angle.has_value(), GetParam().degrees.has_value()) << GetParam().text;
  if (angle) {
    EXPECT_DOUBLE_EQ(*angle, *GetParam().degrees * kDegree);
  }
}

INSTANTIATE_TEST_SUITE_P(Latitudes, ReadLatitudeTest,
                         ::testing::Values(ReadCase{"North", lat("55", "30.00000N"), 55.5},
                                           ReadCase{"South", lat("55", "30.00000S"), -55.5},
                                           ReadCase{"Zero", lat("00", "00.00000N"), 0.0},
                                           ReadCase{"Pole", lat("90", "00.00000N"), 90.0},
                                           ReadCase{"LastMinute", lat("89", "59.99999S"), -(89 + 59.99999 / 60)},
                                           ReadCase{"BeyondThePole", lat("90", "00.00001N"), std::nullopt},
                                           ReadCase{"NinetyOne", lat("91", "00.00000N"), std::nullopt},
                                           ReadCase{"SixtyMinutes", lat("10", "60.00000N"), std::nullopt},
                                           ReadCase{"BlankDigit", lat("55", "3_.00000N"), std::nullopt},
                                           ReadCase{"BlankDegree", lat("_5", "30.00000N"), std::nullopt},
                                           ReadCase{"BlankHemisphere", lat("55", "30.00000_"), std::nullopt},
                                           ReadCase{"EastIsNoLatitudeLetter", lat("55", "30.00000E"), std::nullopt},
                                           ReadCase{"LowerCaseLetter", lat("55", "30.00000n"), std::nullopt},
                                           ReadCase{"Short", lat("5", "30.00000N"), std::nullopt},
                                           ReadCase{"NoDegreeSign", "55 30.00000N", std::nullopt}),
                         caseName);

class ReadLongitudeTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadLongitudeTest, AngleOrNone) {
  const std::optional<double> angle = readReferenceLongitude(GetParam().text);
  ASSERT_EQ(angle.has_value(), GetParam().degrees.has_value()) << GetParam().text;
  if (angle) {
    EXPECT_DOUBLE_EQ(*angle, *GetParam().degrees * kDegree);
  }
}

INSTANTIATE_TEST_SUITE_P(Longitudes, ReadLongitudeTest,
                         ::testing::Values(ReadCase{"East", lat("037", "36.93600E"), 37.6156},
                                           ReadCase{"West", lat("122", "15.50000W"), -(122 + 15.5 / 60)},
                                           ReadCase{"DateLineWest", lat("180", "00.00000W"), -180.0},
                                           ReadCase{"BeyondTheDateLine", lat("180", "00.00100E"), std::nullopt},
                                           ReadCase{"OneEightyOne", lat("181", "00.00000E"), std::nullopt},
                                           ReadCase{"NorthIsNoLongitudeLetter", lat("037", "36.93600N"), std::nullopt},
                                           ReadCase{"BlankDigit", lat("037", "36.9360_E"), std::nullopt}),
                         caseName);

TEST(ReferenceTextTest, TextsReadBackAsThePointToTheShownMinute) {
  for (double degrees : {0.0, 12.3456789, -45.0000001, 89.99999999, -89.123456, 55.7522}) {
    const std::string latText = referenceLatitudeText(degrees * kDegree);
    const std::optional<double> latitude = readReferenceLatitude(latText);
    ASSERT_TRUE(latitude) << latText;
    EXPECT_NEAR(*latitude / kDegree * 60, degrees * 60, 0.000005 + 1e-9) << latText;
    EXPECT_EQ(referenceLatitudeText(*latitude), latText);
  }
  for (double degrees : {0.0, 179.9999999, -179.99999999, 37.6156, -0.00001, 123.456789}) {
    const std::string lonText = referenceLongitudeText(degrees * kDegree);
    const std::optional<double> longitude = readReferenceLongitude(lonText);
    ASSERT_TRUE(longitude) << lonText;
    EXPECT_NEAR(*longitude / kDegree * 60, degrees * 60, 0.000005 + 1e-9) << lonText;
    EXPECT_EQ(referenceLongitudeText(*longitude), lonText);
  }
}

TEST(ReferenceTextTest, HeightIsTheLeadingNumber) {
  const struct {
    const char* text;
    double height;
  } cases[] = {{"0150.25", 150.25},
               {"-012.50", -12.5},
               {"+150.25", 150.25},
               {"150.25", 150.25},
               {"9999.99", 9999.99},
               {"", 0},
               {".", 0}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(readReferenceHeight(c.text), c.height) << c.text;
}

TEST(ReferenceTextTest, PositionsTheEditsCanShow) {
  const double nan = std::nan("");
  const double inf = HUGE_VAL;
  const struct {
    double lat, lon, height;
    bool shown;
  } cases[] = {{0.97, 0.65, 150, true},    {kPi / 2, -kPi, -20, true},
               {-kPi / 2, kPi, 1e6, true}, {kPi / 2 + 1e-9, 0, 0, false},
               {0, -kPi - 1e-9, 0, false}, {nan, 0, 0, false},
               {0, nan, 0, false},         {0, 0, nan, false},
               {0, 0, inf, false},         {-inf, 0, 0, false}};
  for (const auto& c : cases)
    EXPECT_EQ(isReferencePosition(c.lat, c.lon, c.height), c.shown) << c.lat << " " << c.lon << " " << c.height;
}

// ---- re-centring on a pixel --------------------------------------------------------------

struct RecentreCase {
  float radius;
  int x, y;
  double north, east;  // metres the reference moves
};

class RecentreTest : public ::testing::TestWithParam<RecentreCase> {};

TEST_P(RecentreTest, ReferenceMovesByThePixelsOffset) {
  const RecentreCase& p = GetParam();
  const double refLat = 55.75 * kDegree;
  const double refLon = 37.62 * kDegree;
  const ReferenceAngles moved = recentredReference(refLat, refLon, p.radius, p.x, p.y);
  EXPECT_NEAR((moved.latitude - refLat) * kMeridianNumerator, p.north, 1e-6 * p.radius);
  EXPECT_NEAR((moved.longitude - refLon) * std::cos(refLat) * kSemiMajorAxis, p.east, 1e-6 * p.radius);
  // The old centre is now as far from the new one the other way.
  const LocalOffset old = simpleOffset(refLat, refLon, moved.latitude, moved.longitude, pixelsPerMetreFor(p.radius));
  EXPECT_NEAR(old.x, 2 * kPlotCentre - p.x, 1);
  EXPECT_NEAR(old.y, 2 * kPlotCentre - p.y, 1);
}

// One pixel is R / 51.1667 metres: 51 pixels at R = 10 m are 9.967 m.
constexpr double kTenMetres51 = 51 * 10 / (307 / 6.0);

INSTANTIATE_TEST_SUITE_P(
    Clicks, RecentreTest,
    ::testing::Values(RecentreCase{10, 204, 153, 0, kTenMetres51}, RecentreCase{10, 153, 102, kTenMetres51, 0},
                      RecentreCase{10, 102, 204, -kTenMetres51, -kTenMetres51},
                      RecentreCase{1, 0, 0, 153 / (307 / 6.0), -153 / (307 / 6.0)},
                      RecentreCase{0.01f, 306, 306, -0.01 * 153 / (307 / 6.0), 0.01 * 153 / (307 / 6.0)}));

TEST(RecentreEdgeTest, CentreLeavesTheReference) {
  const ReferenceAngles same = recentredReference(0.5, -2.5, 3, kPlotCentre, kPlotCentre);
  EXPECT_EQ(same.latitude, 0.5);
  EXPECT_EQ(same.longitude, -2.5);
}

TEST(RecentreEdgeTest, LongitudeWrapsAcrossTheDateLine) {
  const double refLon = kPi - 1e-7;
  const ReferenceAngles east = recentredReference(0, refLon, 10000, 306, kPlotCentre);
  EXPECT_LT(east.longitude, -kPi + 0.01);
  EXPECT_GE(east.longitude, -kPi);
  const double metres = (east.longitude + kTwoPi - refLon) * kSemiMajorAxis;
  EXPECT_NEAR(metres, 153 * 10000 / (307 / 6.0), 0.01);
}

TEST(RecentreEdgeTest, PolesStopTheLatitudeAndTheLongitudeStaysInRange) {
  const ReferenceAngles north = recentredReference(89.9 * kDegree, 0, 90000, kPlotCentre, 0);
  EXPECT_EQ(north.latitude, kPi / 2);
  const ReferenceAngles south = recentredReference(-89.9 * kDegree, 0, 90000, kPlotCentre, 306);
  EXPECT_EQ(south.latitude, -kPi / 2);
  // At the pole one pixel east is many turns of longitude.
  const ReferenceAngles atPole = recentredReference(kPi / 2, 1, 90000, 300, kPlotCentre);
  EXPECT_TRUE(isReferencePosition(atPole.latitude, atPole.longitude, 0)) << atPole.longitude;
}

}  // namespace
}  // namespace veltrano
