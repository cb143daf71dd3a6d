#include "util/position_statistics.h"

#include <gtest/gtest.h>

#include <cmath>

#include "util/formatters.h"

namespace veltrano {
namespace {

double parallelRadius(double lat, double h) {
  const double w = std::sqrt(1 - kEccentricitySquared * std::sin(lat) * std::sin(lat));
  return (kSemiMajorAxis / w + h) * std::cos(lat);
}

TEST(PositionStatistics, FirstSampleIsItsOwnMean) {
  PositionStatistics s;
  auto r = addPositionSample(s, 0.9, 0.6, 150, 3.0);
  EXPECT_EQ(r.count, 1);
  EXPECT_DOUBLE_EQ(r.meanLat, 0.9);
  EXPECT_DOUBLE_EQ(r.meanLon, 0.6);
  EXPECT_DOUBLE_EQ(r.meanHeight, 150);
  EXPECT_DOUBLE_EQ(r.rms2D, 0);
  EXPECT_DOUBLE_EQ(r.rmsH, 0);
  EXPECT_DOUBLE_EQ(r.rmsV, 3.0);  // rms of the speed values, not a deviation
}

TEST(PositionStatistics, TwoHeightsAndSpeeds) {
  PositionStatistics s;
  addPositionSample(s, 0.5, 0.5, 100, 3.0);
  auto r = addPositionSample(s, 0.5, 0.5, 110, 4.0);
  EXPECT_EQ(r.count, 2);
  EXPECT_DOUBLE_EQ(r.meanHeight, 105);
  // First sample contributes 0 against its own mean, the second (110 - 105)^2 / 2.
  EXPECT_DOUBLE_EQ(r.rmsH, std::sqrt(25.0 / 2));
  EXPECT_DOUBLE_EQ(r.rmsV, std::sqrt((9.0 + 16.0) / 2));
  EXPECT_DOUBLE_EQ(r.rms2D, 0);
}

TEST(PositionStatistics, MeanAcrossTheAntimeridian) {
  PositionStatistics s;
  const double lat = 0.3;
  addPositionSample(s, lat, kPi - 0.001, 0, 0);
  auto r = addPositionSample(s, lat, -kPi + 0.001, 0, 0);
  EXPECT_NEAR(std::fabs(r.meanLon), kPi, 1e-12);
  EXPECT_NEAR(r.rms2D, 0.001 * parallelRadius(lat, 0) / std::sqrt(2.0), 1e-6);
}

// A corrupted record can give any longitude; the mean stays in [-pi, pi] and
// turns away from a longitude count as that longitude.
TEST(PositionStatistics, LongitudesManyTurnsAwayAreWrapped) {
  const double lat = 0.3;
  const struct {
    double longitude, wrapped;
  } cases[] = {{0.6 + 4 * kPi, 0.6}, {0.6 - 6 * kPi, 0.6}, {0.6 + 200 * kPi, 0.6}, {-0.6 - 1e4 * kPi, -0.6}};
  for (const auto& c : cases) {
    PositionStatistics s;
    auto r = addPositionSample(s, lat, c.longitude, 0, 0);
    EXPECT_NEAR(r.meanLon, c.wrapped, 1e-9) << c.longitude;
    r = addPositionSample(s, lat, c.wrapped, 0, 0);
    EXPECT_NEAR(r.meanLon, c.wrapped, 1e-9) << c.longitude;
    EXPECT_LT(r.rms2D, 1e-3) << c.longitude;  // metres: the same place twice
  }
}

TEST(PositionStatistics, NorthDeviationUsesMeridianRadius) {
  PositionStatistics s;
  addPositionSample(s, 0.0, 0.0, 0, 0);
  auto r = addPositionSample(s, 1e-6, 0.0, 0, 0);
  // At the equator the meridian radius is a (1 - e^2).
  EXPECT_NEAR(r.rms2D, 0.5e-6 * kMeridianNumerator / std::sqrt(2.0), 1e-9);
}

TEST(PositionStatistics, ResetStartsOver) {
  PositionStatistics s;
  addPositionSample(s, 0.1, 0.2, 10, 1);
  addPositionSample(s, 0.2, 0.3, 20, 2);
  resetPositionStatistics(s);
  auto r = addPositionSample(s, 0.4, 0.5, 30, 0);
  EXPECT_EQ(r.count, 1);
  EXPECT_DOUBLE_EQ(r.meanLat, 0.4);
  EXPECT_DOUBLE_EQ(r.rms2D, 0);
  EXPECT_DOUBLE_EQ(r.rmsH, 0);
  EXPECT_DOUBLE_EQ(r.rmsV, 0);
}

}  // namespace
}  // namespace veltrano
