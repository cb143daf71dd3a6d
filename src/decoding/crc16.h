#pragma once
// CRC-16/XMODEM (polynomial 0x1021, initial value 0, MSB first, no reflection,
// no final xor), the checksum of BINR and BINR2 frames and of the commands we send.
#include <array>
#include <cstddef>
#include <cstdint>

namespace veltrano {

namespace detail {
// Row k holds the CRC of each byte value followed by k zero bytes: the share of a
// byte that is k bytes before the end of an 8-byte step.
using CrcTables = std::array<std::array<uint16_t, 256>, 8>;

constexpr CrcTables makeCrcTables() {
  CrcTables tables{};
  for (unsigned i = 0; i < 256; ++i) {
    uint16_t crc = uint16_t(i << 8);
    for (int bit = 0; bit < 8; ++bit) crc = uint16_t((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
    tables[0][i] = crc;
  }
  for (size_t k = 1; k < tables.size(); ++k)
    for (unsigned i = 0; i < 256; ++i) {
      const uint16_t previous = tables[k - 1][i];
      tables[k][i] = uint16_t(uint16_t(previous << 8) ^ tables[0][previous >> 8]);
    }
  return tables;
}
inline constexpr CrcTables kCrcTables = makeCrcTables();
inline constexpr const std::array<uint16_t, 256>& kCrcTable = kCrcTables[0];
}  // namespace detail

constexpr uint16_t binrCrcUpdate(uint16_t crc, uint8_t b) {
  return uint16_t(uint16_t(crc << 8) ^ detail::kCrcTable[uint8_t((crc >> 8) ^ b)]);
}

// The same over a run of bytes, eight at a time: the running CRC folds into the
// first two bytes of each step, and the eight table look-ups do not wait on each other.
inline uint16_t binrCrcUpdate(uint16_t crc, const uint8_t* bytes, size_t length) {
  const auto& t = detail::kCrcTables;
  for (; length >= 8; bytes += 8, length -= 8)
    crc = uint16_t(t[7][bytes[0] ^ (crc >> 8)] ^ t[6][bytes[1] ^ (crc & 0xFF)] ^ t[5][bytes[2]] ^ t[4][bytes[3]] ^
                   t[3][bytes[4]] ^ t[2][bytes[5]] ^ t[1][bytes[6]] ^ t[0][bytes[7]]);
  for (; length > 0; ++bytes, --length) crc = binrCrcUpdate(crc, *bytes);
  return crc;
}

}  // namespace veltrano
