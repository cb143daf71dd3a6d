#include "decoding/crc16.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrano {
namespace {

TEST(Crc16, CheckValueAndTable) {
  uint16_t crc = 0;
  for (char c : std::string("123456789")) crc = binrCrcUpdate(crc, uint8_t(c));
  EXPECT_EQ(crc, 0x31C3);
  EXPECT_EQ(detail::kCrcTable[1], 0x1021);
  EXPECT_EQ(detail::kCrcTable[255], 0x1EF0);
  const std::string check = "123456789";
  EXPECT_EQ(binrCrcUpdate(0, reinterpret_cast<const uint8_t*>(check.data()), check.size()), 0x31C3);
}

// Over a run, eight bytes a step and the rest one by one, from any running
// value: the same as byte by byte.
TEST(Crc16, RunAsByteByByte) {
  uint8_t bytes[70];
  for (size_t i = 0; i < sizeof bytes; ++i) bytes[i] = uint8_t(i * 151 + 17);
  for (uint16_t start : {0x0000, 0x1D0F, 0xFFFF}) {
    for (size_t length = 0; length <= sizeof bytes; ++length) {
      uint16_t expected = start;
      for (size_t i = 0; i < length; ++i) expected = binrCrcUpdate(expected, bytes[i]);
      EXPECT_EQ(binrCrcUpdate(start, bytes, length), expected) << "start " << start << " length " << length;
    }
  }
}

}  // namespace
}  // namespace veltrano
