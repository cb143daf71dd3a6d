#pragma once
// Leading-number parses of NMEA text fields: the longest numeric prefix is read,
// anything after it is ignored, and a field without one reads as 0.
#include <cstdint>
#include <limits>
#include <string_view>

namespace veltrano {

// Optional sign and decimal digits; the value saturates at the 32-bit limits.
// Inline: the satellite tables read four of them per satellite.
inline int32_t leadingInt(std::string_view text) {
  constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
  size_t i = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    i = 1;
  }
  int64_t value = 0;
  for (; i < text.size() && unsigned(text[i] - '0') < 10; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kMax + 1) value = kMax + 1;
  }
  if (negative) value = -value;
  return value > kMax ? int32_t(kMax) : int32_t(value);
}

// Optional sign, digits, optional fraction and optional exponent.
double leadingReal(std::string_view text);

// Substring by 1-based start and count: a start before 1 counts as 1, a start
// beyond the end or a count of 0 or less gives an empty text, a count past the
// end stops at the end.
std::string_view fieldPiece(std::string_view text, int start, int count);

}  // namespace veltrano
