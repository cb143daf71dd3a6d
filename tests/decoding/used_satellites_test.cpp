// The used-satellite list and its lookup: after any mix of groups, solutions,
// sorts and clears, the lookup answers as a search of the counted entries.
#include "decoding/used_satellites.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace veltrano {
namespace {

TEST(UsedSatellites, LookupAgreesWithTheCountedEntriesAfterAnyOperations) {
  std::mt19937 random(5);
  // Few systems and numbers, so that entries repeat and leave the list again.
  const uint8_t systems[] = {kSatNone, kSatGps, kSatGlonass, kSatBeidou, kSatGpsBeyond, 255};
  auto anySatellite = [&] {
    return UsedSatellite{systems[random() % std::size(systems)], uint8_t(random() % 2 ? random() % 8 : random() % 256)};
  };
  UsedSatellites used;
  for (int step = 0; step < 20000; ++step) {
    switch (random() % 8) {
      case 0:
        used.clear();
        break;
      case 1: {
        std::vector<UsedSatellite> solution(random() % 80);
        for (UsedSatellite& s : solution) s = anySatellite();
        used.assign(solution);
        break;
      }
      case 2:
        used.sort();
        break;
      default:
        used.appendToGroup(anySatellite());
    }
    const auto counted = used.counted();
    ASSERT_LE(counted.size(), size_t(UsedSatellites::kMaxEntries));
    for (int probe = 0; probe < 8; ++probe) {
      const UsedSatellite s = probe < 4 && !counted.empty() ? counted[random() % counted.size()] : anySatellite();
      ASSERT_EQ(used.contains(s), std::find(counted.begin(), counted.end(), s) != counted.end())
          << "step " << step << ": " << int(s.system) << "/" << int(s.number);
    }
  }
}

TEST(UsedSatellites, AGroupCountsSixtyThreeAndASolutionSixtyFour) {
  UsedSatellites used;
  for (int n = 1; n <= 70; ++n) used.appendToGroup({kSatBeidou, uint8_t(n)});
  EXPECT_EQ(used.count(), 63);
  EXPECT_EQ(used.place(63), (UsedSatellite{kSatBeidou, 70}));  // the uncounted last place
  EXPECT_TRUE(used.contains({kSatBeidou, 63}));
  EXPECT_FALSE(used.contains({kSatBeidou, 64}));
  EXPECT_FALSE(used.contains({kSatBeidou, 70}));

  std::vector<UsedSatellite> solution;
  for (int n = 1; n <= 70; ++n) solution.push_back({kSatGps, uint8_t(n)});
  used.assign(solution);
  EXPECT_EQ(used.count(), 64);
  EXPECT_TRUE(used.contains({kSatGps, 64}));
  EXPECT_FALSE(used.contains({kSatGps, 65}));
  EXPECT_FALSE(used.contains({kSatBeidou, 1}));
}

}  // namespace
}  // namespace veltrano
