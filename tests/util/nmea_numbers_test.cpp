#include "util/nmea_numbers.h"

#include <gtest/gtest.h>

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
