#include "decoding/used_satellites.h"

#include <algorithm>

#include "util/small_stable_sort.h"

namespace veltrano {

void UsedSatellites::mark(UsedSatellite entry, bool on) {
  const unsigned index = bitOf(entry);
  const uint64_t bit = uint64_t(1) << (index % 64);
  if (on)
    bits_[index / 64] |= bit;
  else
    bits_[index / 64] &= ~bit;
}

void UsedSatellites::clear() {
  // Only the counted entries have their bits set: clearing them is cheaper
  // than clearing the whole map.
  for (int i = 0; i < count_; ++i) mark(entries_[size_t(i)], false);
  count_ = 0;
}

void UsedSatellites::assign(std::span<const UsedSatellite> entries) {
  clear();
  const size_t n = std::min(entries.size(), size_t(kMaxEntries));
  std::copy_n(entries.begin(), n, entries_.begin());
  count_ = uint8_t(n);
  for (size_t i = 0; i < n; ++i) mark(entries_[i], true);
}

void UsedSatellites::appendToGroup(UsedSatellite entry) {
  const size_t place = std::min<size_t>(count_, kMaxEntries - 1);
  if (place < count_) {
    // A group added to a solution of 64 replaces its last entry, which may
    // stand in the list twice.
    const UsedSatellite replaced = entries_[place];
    entries_[place] = entry;
    mark(replaced, std::find(entries_.begin(), entries_.begin() + count_, replaced) != entries_.begin() + count_);
    mark(entry, true);
    return;
  }
  entries_[place] = entry;
  if (count_ < kMaxEntries - 1) {
    ++count_;
    mark(entry, true);
  }
}

void UsedSatellites::sort() {
  smallStableSort(entries_.begin(), entries_.begin() + count_, [](const UsedSatellite& a, const UsedSatellite& b) {
    return a.system < b.system || (a.system == b.system && a.number < b.number);
  });
}

}  // namespace veltrano
