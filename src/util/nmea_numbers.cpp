#include "util/nmea_numbers.h"

#include <charconv>
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
  size_t digits = 0;
  while (i < text.size() && isDigit(text[i])) ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && isDigit(text[i])) ++i, ++digits;
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
  std::from_chars(text.data() + start, text.data() + end, value, std::chars_format::general);
  return negative ? -value : value;
}

std::string_view fieldPiece(std::string_view text, int start, int count) {
  if (start < 1) start = 1;
  if (count <= 0 || size_t(start) > text.size()) return {};
  return text.substr(size_t(start - 1), size_t(count));
}

}  // namespace veltrano
