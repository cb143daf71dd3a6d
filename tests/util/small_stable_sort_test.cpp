#include "util/small_stable_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace veltrano {
namespace {

// Entries with few distinct keys, so that many are equal and their order
// after the sort shows whether it was kept.
struct Entry {
  int key;
  int arrival;
  bool operator==(const Entry&) const = default;
};

TEST(SmallStableSort, OrdersAsStdStableSortDoes) {
  std::mt19937 random(7);
  const auto byKey = [](const Entry& a, const Entry& b) { return a.key < b.key; };
  for (int size : {0, 1, 2, 3, 8, 31, 32, 63, 64}) {
    for (int keys : {1, 3, 40}) {
      std::vector<Entry> entries;
      for (int i = 0; i < size; ++i) entries.push_back({int(random() % unsigned(keys)), i});
      std::vector<Entry> expected = entries;
      std::stable_sort(expected.begin(), expected.end(), byKey);
      smallStableSort(entries.begin(), entries.end(), byKey);
      EXPECT_EQ(entries, expected) << size << " entries, " << keys << " keys";
    }
  }
}

}  // namespace
}  // namespace veltrano
