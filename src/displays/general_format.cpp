#include "displays/general_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace veltrano {

namespace {
// Below this many digits before the point (numbers under 0.0001) the
// scientific notation is used as well.
constexpr int kSmallestPointPosition = -3;
constexpr int kMaxPrecision = 18;
}  // namespace

std::string formatGeneral(double value, int precision) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";
  if (precision < 1) precision = 1;
  if (precision > kMaxPrecision) precision = kMaxPrecision;

  // "-d.ddddde+xx": the rounded significant digits and the decimal exponent.
  char scientific[48];
  std::snprintf(scientific, sizeof scientific, "%.*e", precision - 1, std::fabs(value));
  std::string digits;
  const char* p = scientific;
  for (; *p != 'e'; ++p)
    if (*p != '.') digits += *p;
  const int exponent = std::atoi(p + 1);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  std::string text = value < 0 ? "-" : "";
  const int pointPosition = exponent + 1;  // digits before the decimal point
  if (pointPosition > precision || pointPosition < kSmallestPointPosition) {
    text += digits[0];
    if (digits.size() > 1) text += "." + digits.substr(1);
    text += "E" + std::to_string(exponent);
  } else if (pointPosition <= 0) {
    text += "0." + std::string(size_t(-pointPosition), '0') + digits;
  } else if (int(digits.size()) <= pointPosition) {
    text += digits + std::string(size_t(pointPosition) - digits.size(), '0');
  } else {
    text += digits.substr(0, size_t(pointPosition)) + "." + digits.substr(size_t(pointPosition));
  }
  return text;
}

}  // namespace veltrano
