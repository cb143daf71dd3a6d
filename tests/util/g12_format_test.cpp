#include "util/g12_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace veltrano {
namespace {

std::string viaPrintf(double value) {
  char text[64];
  const int length = std::snprintf(text, sizeof text, "%.12g", value);
  return std::string(text, size_t(length));
}

std::string viaFormat(double value) {
  char text[kG12Room];
  return std::string(text, formatG12(text, value));
}

TEST(G12Format, EdgesAsPrintf) {
  const std::vector<double> groups[] = {
      {0.0, -0.0, 1.0, -1.5, 0.1},
      {0.0001, 0.00001, 9.99999999999951e-5, -1.2e-7},                        // fixed down to 1e-4, then exponent
      {123456789012.0, 999999999999.4, 999999999999.5, 999999999999.6},       // the twelfth digit, the carry to 1e+12
      {1e12, 1e15, 1e22, 1e23, 1e-11, 1e-12, 1e-300, 1e300},                  // inside and beyond the exact method
      {123456789012.5, 123456789013.5, 0.5, 2.5e-5, 4096.00048828125},        // ties go to the even digit
      {5e-324, 2.2250738585072014e-308, std::numeric_limits<double>::max()},  // subnormal and extremes
      {55.751234567890123, 37.61, 157.25, 345600123.456, 0.899999976158},     // what the decoders give
  };
  for (const auto& group : groups)
    for (double value : group) EXPECT_EQ(viaFormat(value), viaPrintf(value)) << value;
}

// Random bit patterns over the whole range, and the kinds of numbers the
// decoders give: degrees, metres, milliseconds, tenths and single precision.
TEST(G12Format, ManyValuesAsPrintf) {
  std::mt19937_64 random(12);
  std::uniform_real_distribution<double> degrees(-180, 180);
  int mismatches = 0;
  auto check = [&](double value) {
    if (!std::isfinite(value)) return;
    const std::string got = viaFormat(value), expected = viaPrintf(value);
    if (got != expected && ++mismatches <= 5)
      ADD_FAILURE() << "%.12g of " << value << ": " << got << " not " << expected;
  };
  for (int i = 0; i < 200000; ++i) {
    check(std::bit_cast<double>(random()));
    const double d = degrees(random);
    check(d);
    check(d * 1e-7);
    check(std::round(d * 100) / 100);
    check(double(float(d)));
    check(std::ldexp(double(random() >> 11), -int(random() % 90)));
    check(double(random() % 10000000000000) / 2);
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace veltrano
