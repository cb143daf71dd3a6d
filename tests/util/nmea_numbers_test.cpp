#include "util/nmea_numbers.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <random>
#include <string>

namespace veltrano {
namespace {

TEST(LeadingNumbers, Int) {
  EXPECT_EQ(leadingInt(""), 0);
  EXPECT_EQ(leadingInt("12"), 12);
  EXPECT_EQ(leadingInt("12.7"), 12);
  EXPECT_EQ(leadingInt("-7x"), -7);
  EXPECT_EQ(leadingInt("+3"), 3);
  EXPECT_EQ(leadingInt("x3"), 0);
  EXPECT_EQ(leadingInt("99999999999999"), 2147483647);
  EXPECT_EQ(leadingInt("-99999999999999"), -2147483647 - 1);
}

TEST(LeadingNumbers, Real) {
  EXPECT_DOUBLE_EQ(leadingReal(""), 0.0);
  EXPECT_DOUBLE_EQ(leadingReal("30.5000"), 30.5);
  EXPECT_DOUBLE_EQ(leadingReal("-1.25M"), -1.25);
  EXPECT_DOUBLE_EQ(leadingReal(".5"), 0.5);
  EXPECT_DOUBLE_EQ(leadingReal("1e3"), 1000.0);
  EXPECT_DOUBLE_EQ(leadingReal("1e"), 1.0);
  EXPECT_DOUBLE_EQ(leadingReal("inf"), 0.0);
  EXPECT_DOUBLE_EQ(leadingReal("-"), 0.0);
}

// Every value, short fields and long, is the correctly rounded double that a
// full conversion of the same characters gives, to the last bit.
TEST(LeadingNumbers, RealIsTheCorrectlyRoundedValue) {
  std::mt19937 random(3);
  const std::string tails[] = {"", ",", "M", "e", "e-3", "E+12", ".", "x"};
  for (int round = 0; round < 100000; ++round) {
    std::string number;
    const int whole = int(random() % 12), fraction = int(random() % 14);
    for (int i = 0; i < whole; ++i) number += char('0' + random() % 10);
    if (fraction > 0 || random() % 4 == 0) number += '.';
    for (int i = 0; i < fraction; ++i) number += char('0' + random() % 10);
    if (random() % 8 == 0) number += std::string(size_t(random() % 12), '9');
    const std::string sign = random() % 3 == 0 ? "-" : "";
    const std::string& tail = tails[random() % std::size(tails)];
    const std::string text = sign + number + tail;

    // The numeric prefix with its exponent, if the tail has a whole one.
    std::string numeric = number;
    if (tail.size() > 1 && (tail[0] == 'e' || tail[0] == 'E')) numeric += tail;
    double expected = 0.0;  // no digit: 0, whatever the sign
    if (number.find_first_of("0123456789") != std::string::npos) {
      std::from_chars(numeric.data(), numeric.data() + numeric.size(), expected, std::chars_format::general);
      if (!sign.empty()) expected = -expected;
    }
    ASSERT_EQ(std::bit_cast<uint64_t>(leadingReal(text)), std::bit_cast<uint64_t>(expected)) << text;
  }
}

TEST(LeadingNumbers, FieldPiece) {
  EXPECT_EQ(fieldPiece("123456", 1, 2), "12");
  EXPECT_EQ(fieldPiece("123456", 0, 2), "12");
  EXPECT_EQ(fieldPiece("123456", 5, 9), "56");
  EXPECT_EQ(fieldPiece("123456", 7, 1), "");
  EXPECT_EQ(fieldPiece("123456", 2, 0), "");
  EXPECT_EQ(fieldPiece("123456", 2, -1), "");
}

}  // namespace
}  // namespace veltrano
