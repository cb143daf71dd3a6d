#pragma once
// The split fields of one NMEA sentence: field 0 is the address field without its
// "$" (for example GPGGA), field 1 the first data field. Slots at and beyond
// fieldCount keep whatever an earlier sentence left in them.
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "util/nmea_numbers.h"

namespace veltrano {

struct NmeaFieldTable {
  static constexpr int kFieldSlots = 40;
  static constexpr int kSlotSize = 20;  // 19 characters and the terminating NUL

  char field[kFieldSlots][kSlotSize];
  uint8_t fieldCount;

  // Field j as text; empty for j outside 0..39.
  std::string_view text(int j) const {
    if (j < 0 || j >= kFieldSlots) return {};
    // Fields are short: a plain scan beats a call to memchr.
    const char* f = field[j];
    size_t length = 0;
    while (length < size_t(kSlotSize) && f[length] != '\0') ++length;
    return {f, length};
  }
  // leadingInt of field j (0 outside 0..39). The slot is not measured first:
  // its digits end at its NUL anyway. Most fields that are read as numbers
  // (satellite numbers, elevations, azimuths, S/N ratios) have at most three
  // digits: those are read from the slot's first four bytes at once.
  int32_t leadingIntOf(int j) const {
    if (j < 0 || j >= kFieldSlots) return 0;
    if constexpr (std::endian::native == std::endian::little) {
      uint32_t word;
      std::memcpy(&word, field[j], sizeof word);
      // Each byte less '0': a digit becomes 0..9. A byte below '0' borrows from
      // the byte after it, but that byte comes after the end of the digits.
      const uint32_t digits = word - 0x30303030u;
      // The high bit of every byte that is not a digit (a carry out of such a
      // byte again lands only after the end of the digits).
      const uint32_t others = ((digits + 0x76767676u) | digits) & 0x80808080u;
      const bool signed_ = field[j][0] == '+' || field[j][0] == '-';
      if (others != 0 && !signed_) {
        const int count = std::countr_zero(others) / 8;  // leading digits, 0..3
        // The digits moved to the top bytes, zeros below them: "d0 d1 d2" as
        // 0, d0, d1, d2 in text order; then pairs, then the whole.
        uint32_t v = uint32_t(uint64_t(digits) << (8 * (4 - count)));
        v = (v * 10 + (v >> 8)) & 0x00FF00FFu;
        v = (v * 100 + (v >> 16)) & 0x0000FFFFu;
        return int32_t(v);
      }
    }
    return leadingInt(std::string_view(field[j], kSlotSize));
  }
};

}  // namespace veltrano
