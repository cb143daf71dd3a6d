#include "decoding/crc16.h"

#include <gtest/gtest.h>

namespace veltrano {
namespace {

TEST(Crc16, CheckValueAndTable) {
  uint16_t crc = 0;
  for (char c : std::string("123456789")) crc = binrCrcUpdate(crc, uint8_t(c));
  EXPECT_EQ(crc, 0x31C3);
  EXPECT_EQ(detail::kCrcTable[1], 0x1021);
  EXPECT_EQ(detail::kCrcTable[255], 0x1EF0);
}

}  // namespace
}  // namespace veltrano
