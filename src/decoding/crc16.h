#pragma once
// CRC-16/XMODEM (polynomial 0x1021, initial value 0, MSB first, no reflection,
// no final xor), the checksum of BINR and BINR2 frames and of the commands we send.
#include <array>
#include <cstdint>

namespace veltrano {

namespace detail {
constexpr std::array<uint16_t, 256> makeCrcTable() {
  std::array<uint16_t, 256> table{};
  for (unsigned i = 0; i < 256; ++i) {
    uint16_t crc = uint16_t(i << 8);
    for (int bit = 0; bit < 8; ++bit) crc = uint16_t((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    table[i] = crc;
  }
  return table;
}
inline constexpr std::array<uint16_t, 256> kCrcTable = makeCrcTable();
}  // namespace detail

constexpr uint16_t binrCrcUpdate(uint16_t crc, uint8_t b) {
  return uint16_t(uint16_t(crc << 8) ^ detail::kCrcTable[uint8_t((crc >> 8) ^ b)]);
}

}  // namespace veltrano
