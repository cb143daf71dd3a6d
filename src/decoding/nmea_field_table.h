#pragma once
// The split fields of one NMEA sentence: field 0 is the address field without its
// "$" (for example GPGGA), field 1 the first data field. Slots at and beyond
// fieldCount keep whatever an earlier sentence left in them.
#include <cstdint>
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
  // its digits end at its NUL anyway.
  int32_t leadingIntOf(int j) const {
    if (j < 0 || j >= kFieldSlots) return 0;
    return leadingInt(std::string_view(field[j], kSlotSize));
  }
};

}  // namespace veltrano
