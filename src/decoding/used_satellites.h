#pragma once
// The satellites the solution uses, as the Satellites window last built them:
// in the order given (or sorted), and as a map from system and number for the
// satellites-in-view table, which asks for every satellite it fills.
#include <array>
#include <cstdint>
#include <span>

#include "decoding/used_satellite.h"

namespace veltrano {

class UsedSatellites {
 public:
  static constexpr int kMaxEntries = 64;

  void clear();
  // The first kMaxEntries of `entries`, in place of the list.
  void assign(std::span<const UsedSatellite> entries);
  // One more satellite of a GSA group. A group keeps 63: the last place takes
  // every further one uncounted.
  void appendToGroup(UsedSatellite entry);
  // By system, then number; equal entries keep their order.
  void sort();

  bool contains(UsedSatellite entry) const {
    const unsigned index = bitOf(entry);
    return (bits_[index / 64] >> (index % 64)) & 1;
  }
  std::span<const UsedSatellite> counted() const { return {entries_.data(), count_}; }
  int count() const { return count_; }
  // Any of the places, the uncounted last one of a full group included.
  const UsedSatellite& place(int i) const { return entries_[size_t(i)]; }

 private:
  static unsigned bitOf(UsedSatellite entry) { return unsigned(entry.system) << 8 | entry.number; }
  void mark(UsedSatellite entry, bool on);

  std::array<UsedSatellite, kMaxEntries> entries_{};
  uint8_t count_ = 0;
  // One bit for every system and number: set for the counted entries.
  std::array<uint64_t, 256 * 256 / 64> bits_{};
};

}  // namespace veltrano
