// The point store's ring: where each point lands, the wrap, and the states in
// which it stores nothing.
#include "util/point_ring.h"

#include <gtest/gtest.h>

#include <vector>

namespace veltrano {
namespace {

// Point n of a run: every coordinate tells n.
StoredPoint nth(int n) { return StoredPoint{n * 0.001, n * -0.002, n * 10.0}; }

void addRun(PointRing& ring, int count) {
  for (int n = 1; n <= count; ++n) ASSERT_TRUE(ring.addPoint(nth(n).lat, nth(n).lon, nth(n).height));
}

struct RingCase {
  int capacity;
  int added;
  // The run number held by each entry, 0 for an entry never written.
  std::vector<int> entries;
  int writeIndex;
  bool wrapped;
};

class PointRingFill : public ::testing::TestWithParam<RingCase> {};

TEST_P(PointRingFill, KeepsTheLatestPointsAndOverwritesTheOldest) {
  const RingCase& rc = GetParam();
  PointRing ring;
  ring.maxPoints = rc.capacity;
  ASSERT_TRUE(ring.clearPoints());
  addRun(ring, rc.added);
  ASSERT_EQ(ring.pointCapacity(), rc.capacity);
  EXPECT_EQ(ring.writeIndex(), rc.writeIndex);
  EXPECT_EQ(ring.wrapped(), rc.wrapped);
  for (int i = 0; i < rc.capacity; ++i) {
    const StoredPoint expected = rc.entries[size_t(i)] ? nth(rc.entries[size_t(i)]) : StoredPoint{};
    EXPECT_EQ(ring.point(i).lat, expected.lat) << "entry " << i;
    EXPECT_EQ(ring.point(i).lon, expected.lon) << "entry " << i;
    EXPECT_EQ(ring.point(i).height, expected.height) << "entry " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Runs, PointRingFill,
                         ::testing::Values(RingCase{3, 0, {0, 0, 0}, 0, false},
                                           RingCase{3, 2, {1, 2, 0}, 2, false},
                                           RingCase{3, 3, {1, 2, 3}, 0, true},
                                           RingCase{3, 5, {4, 5, 3}, 2, true},
                                           RingCase{3, 7, {7, 5, 6}, 1, true},
                                           RingCase{1, 4, {4}, 0, true}));

TEST(PointRing, StoresNothingBeforeTheFirstClear) {
  PointRing ring;
  EXPECT_EQ(ring.maxPoints, PointRing::kDefaultMaxPoints);
  EXPECT_EQ(ring.pointCapacity(), 0);
  EXPECT_FALSE(ring.addPoint(1, 2, 3));
  EXPECT_EQ(ring.writeIndex(), 0);
  EXPECT_FALSE(ring.wrapped());
}

TEST(PointRing, ACapacityOfZeroOrLessLeavesTheStoreDisabled) {
  for (const int capacity : {0, -5}) {
    PointRing ring;
    ring.maxPoints = 4;
    ASSERT_TRUE(ring.clearPoints());
    ASSERT_TRUE(ring.addPoint(1, 2, 3));
    ring.maxPoints = capacity;
    EXPECT_FALSE(ring.clearPoints()) << capacity;
    EXPECT_EQ(ring.pointCapacity(), 0) << capacity;
    EXPECT_FALSE(ring.addPoint(1, 2, 3)) << capacity;
  }
}

TEST(PointRing, ClearEmptiesTheRingWithTheCapacitySetSinceAndReleaseDisablesIt) {
  PointRing ring;
  ring.maxPoints = 3;
  ASSERT_TRUE(ring.clearPoints());
  addRun(ring, 4);
  const uint32_t before = ring.generation();

  // A new capacity waits for the next clear.
  ring.maxPoints = 500;
  EXPECT_EQ(ring.pointCapacity(), 3);
  ASSERT_TRUE(ring.clearPoints());
  EXPECT_NE(ring.generation(), before);
  EXPECT_EQ(ring.pointCapacity(), 500);
  EXPECT_EQ(ring.writeIndex(), 0);
  EXPECT_FALSE(ring.wrapped());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(ring.point(i).height, 0) << "entry " << i;

  const uint32_t cleared = ring.generation();
  ring.releasePoints();
  EXPECT_NE(ring.generation(), cleared);
  EXPECT_EQ(ring.pointCapacity(), 0);
  EXPECT_FALSE(ring.addPoint(1, 2, 3));
}

}  // namespace
}  // namespace veltrano
