#include "util/nmea_numbers.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace veltrano {

namespace {
bool isDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

double leadingReal(std::string_view text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  const size_t start = i;
  size_t digits = 0, fraction = 0;
  uint64_t mantissa = 0;  // exact while there are 19 digits or fewer
  while (i < text.size() && isDigit(text[i])) mantissa = mantissa * 10 + uint64_t(text[i++] - '0'), ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && isDigit(text[i]))
      mantissa = mantissa * 10 + uint64_t(text[i++] - '0'), ++digits, ++fraction;
  }
  if (digits == 0) return 0.0;
  size_t end = i;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && isDigit(text[j])) {
      while (j < text.size() && isDigit(text[j])) ++j;
      end = j;
    }
  }
  double value = 0.0;
  if (end == i && digits <= 15) {
    // The usual field (a coordinate, a height): its digits and the power of ten
    // that divides them are both exact doubles, so one division rounds the
    // value correctly, as the full conversion below would.
    constexpr double kPowersOfTen[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    value = double(mantissa) / kPowersOfTen[fraction];
  } else {
    std::from_chars(text.data() + start, text.data() + end, value, std::chars_format::general);
  }
  return negative ? -value : value;
}

std::string_view fieldPiece(std::string_view text, int start, int count) {
  if (start < 1) start = 1;
  if (count <= 0 || size_t(start) > text.size()) return {};
  return text.substr(size_t(start - 1), size_t(count));
}

}  // namespace veltrano
