// The accuracy figures: nearest-rank percentiles with their ties and edges,
// the plane's distances, and the figures of a hand-checked set.
#include "util/accuracy_figures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

#include "util/formatters.h"
#include "util/local_plane.h"

namespace veltrano {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

ErrorSample sampleOf(const std::vector<double>& errors) {
  ErrorSample sample(errors.size());
  for (double e : errors) sample.add(e);
  return sample;
}

TEST(ErrorSampleTest, PercentilesAreNearestRanks) {
  std::vector<double> oneToTwenty(20), oneToHundred(100);
  std::iota(oneToTwenty.rbegin(), oneToTwenty.rend(), 1.0);  // in falling order
  std::iota(oneToHundred.begin(), oneToHundred.end(), 1.0);
  const struct {
    std::vector<double> errors;
    int percent;
    double expected;
  } cases[] = {
      {{}, 50, 0},   // no positions
      {{4}, 50, 4},  // a single one is every percentile
      {{4}, 95, 4},
      {{3, 1, 2}, 50, 2},     // rank ceil(1.5) = 2
      {{3, 1, 2}, 95, 3},     // rank ceil(2.85) = 3
      {{4, 1, 3, 2}, 50, 2},  // rank 2: a value of the set, never 2.5
      {{4, 1, 3, 2}, 95, 4},
      {{5, 5, 1, 5}, 50, 5},  // ties: ranks 2 to 4 are all 5
      {{1, 2, 1, 1}, 50, 1},
      {{1, 2, 1, 1}, 95, 2},  // rank ceil(3.8) = 4
      {oneToTwenty, 95, 19},  // exactly 95 % within 19: rank 19, not 20
      {oneToTwenty, 50, 10},
      {oneToTwenty, 100, 20},
      {oneToHundred, 95, 95},
      {oneToHundred, 50, 50},
      {{1, std::nan(""), 2}, 50, 2},  // a NaN counts as infinitely far
      {{1, std::nan(""), 2}, 95, kInf},
  };
  for (const auto& c : cases) {
    ErrorSample sample = sampleOf(c.errors);
    EXPECT_EQ(sample.percentile(c.percent), c.expected) << c.errors.size() << " errors, " << c.percent << " %";
  }
}

TEST(ErrorSampleTest, LargestAndRootMeanSquareSurviveReordering) {
  ErrorSample sample = sampleOf({3, 4, 12, 0});
  EXPECT_EQ(sample.percentile(50), 3);
  EXPECT_EQ(sample.largest(), 12);
  EXPECT_DOUBLE_EQ(sample.rootMeanSquare(), std::sqrt((9 + 16 + 144) / 4.0));
  sample.clear();
  EXPECT_EQ(sample.size(), 0u);
  EXPECT_EQ(sample.largest(), 0);
  EXPECT_EQ(sample.rootMeanSquare(), 0);
  sample.add(2);
  EXPECT_EQ(sample.percentile(95), 2);
  EXPECT_EQ(sample.rootMeanSquare(), 2);
}

// A position `north` and `east` metres from the centre on the plane.
struct Offset {
  double north, east;
};

double latitudeOf(const Offset& o) { return o.north / kMeridianNumerator; }
double longitudeOf(const Offset& o, double refLon) {
  return refLon + o.east / (std::cos(latitudeOf(o)) * kSemiMajorAxis);
}

TEST(AccuracyErrorsTest, DistancesOnThePlotsPlane) {
  const PositionCentre centre{0, 0.5, 100};
  EXPECT_NEAR(horizontalError(latitudeOf({3, 4}), longitudeOf({3, 4}, 0.5), centre), 5, 1e-9);
  EXPECT_NEAR(horizontalError(latitudeOf({-6, 8}), longitudeOf({-6, 8}, 0.5), centre), 10, 1e-9);
  EXPECT_EQ(horizontalError(0, 0.5, centre), 0);
  // Across the date line the longitude difference wraps.
  const PositionCentre east{0, kPi - 1e-7, 0};
  EXPECT_NEAR(horizontalError(0, -kPi + 1e-7, east), 2e-7 * kSemiMajorAxis, 1e-6);
  EXPECT_EQ(verticalError(97, centre), 3);
  EXPECT_EQ(verticalError(104.5, centre), 4.5);
  // The plane is the Visual plot's.
  const PlaneMetres plane = simplePlaneOffset(latitudeOf({3, 4}), longitudeOf({3, 4}, 0.5), 0, 0.5);
  EXPECT_NEAR(plane.north, 3, 1e-9);
  EXPECT_NEAR(plane.east, 4, 1e-9);
}

// Ten horizontal distances with a tie at the median, ten vertical errors with
// ties, worked out by hand.
TEST(AccuracyFiguresTest, HandCheckedSet) {
  ErrorSample horizontal = sampleOf({5, 1, 12, 2, 5, 7, 2, 10, 3, 5});
  AccuracyFigures figures;
  readHorizontalFigures(horizontal, figures);
  EXPECT_EQ(figures.cep50, 5);   // sorted 1 2 2 3 [5] 5 5 7 10 12: rank 5
  EXPECT_EQ(figures.cep95, 12);  // rank ceil(9.5) = 10
  EXPECT_DOUBLE_EQ(figures.drms2, 2 * std::sqrt(386.0 / 10));
  EXPECT_EQ(figures.hmax, 12);
  ErrorSample vertical = sampleOf({1, 2, 3, 4, 0.5, 2, 1, 6, 3, 10});
  readVerticalFigures(vertical, figures);
  EXPECT_EQ(figures.v50, 2);  // 0.5 1 1 2 [2] 3 3 4 6 10
  EXPECT_EQ(figures.v95, 10);
  EXPECT_EQ(figures.cep50, 5) << "the vertical figures leave the horizontal ones";
}

}  // namespace
}  // namespace veltrano
